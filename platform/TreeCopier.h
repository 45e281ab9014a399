#pragma once

#include <QtGlobal>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

class CopyConflictPrompt;
class CopyJournal;
class Progress;

// Copies one entry (a file, a folder with everything in it, a symbolic link or
// a special file) to a target path, keeping permissions, owners where the user
// may keep them, and modification times (a folder's set after its contents),
// as far as the destination's file system can hold them. Hard links become
// separate files; extended attributes and ACLs are not carried over.
//
// Links are copied as links and never followed, so nothing outside the source
// tree is read. Every file is written under a hidden temporary name in its
// destination folder and renamed into place only when complete, so a cancel
// or a failure never leaves a half-written file under the real name. What the
// copy creates is recorded in the journal; the caller rolls it back when the
// outcome is Failed or Stopped.
class TreeCopier {
public:
    enum class Outcome { Done, Skipped, Failed, Stopped };

    TreeCopier(CopyConflictPrompt& conflicts, Progress& progress, CopyJournal& journal);

    // A move removes its source afterwards, so each file is then read back
    // and compared byte for byte before it counts as copied.
    void setVerify(bool on) { verify_ = on; }

    // Test seam: asked with each regular file's source path before its data
    // is written; true makes the write fail as an I/O error would.
    void setWriteFault(std::function<bool(const std::string&)> fault) { writeFault_ = std::move(fault); }

    // Copies `source` to the path `target`. An entry already at `target` is
    // asked about, unless `replaceConfirmed` says the user already agreed to
    // replace it.
    Outcome copy(const std::string& source, const std::string& target, bool replaceConfirmed = false);

    // A source entry copied whole, with its state as the copy read it, so a
    // move can tell whether it changed before removing it.
    struct CopiedSource {
        std::string path;
        struct stat st;
    };
    // The source entries copied whole, each folder after its contents: what a
    // move may remove once the copy is safe.
    const std::vector<CopiedSource>& copiedSources() const { return copied_; }

    qint64 bytesDone() const { return bytesDone_; }
    void setBytesDone(qint64 bytes) { bytesDone_ = bytes; }

    // The total size of the regular files under `path` (links not followed).
    static qint64 countBytes(const std::string& path);

    // The names in a folder, sorted, without "." and ".."; false when the
    // folder cannot be read.
    static bool listFolder(const std::string& path, std::vector<std::string>& names);

private:
    Outcome copyEntry(const std::string& source, const struct stat& st, const std::string& target,
                      bool replaceConfirmed);
    Outcome copyFolder(const std::string& source, const struct stat& st, const std::string& target,
                       bool merge);
    Outcome copyContents(const std::string& source, const std::string& target);
    // Copies the file as it is when opened (it may have changed since listed).
    Outcome copyFile(const std::string& source, const std::string& target, bool replacing);
    Outcome copyNode(const std::string& source, const struct stat& st, const std::string& target,
                     bool replacing);
    bool writeData(int from, int to, const std::string& source, const QString& name,
                   Outcome& outcome);
    // Renames a finished temporary entry to `target`; replacing only when asked to.
    bool place(const std::string& temp, const std::string& target, bool replacing);
    // Notes an entry now in place at `target` (in the journal when it is new).
    void placed(const std::string& target, bool replacing);
    bool report(const QString& name);
    // Notes an entry this copy made at `target`.
    void remember(const std::string& target);


    CopyConflictPrompt& conflicts_;
    Progress& progress_;
    CopyJournal& journal_;
    bool verify_ = false;
    std::function<bool(const std::string&)> writeFault_;
    std::vector<CopiedSource> copied_;
    // The entries this copy made, by device and inode. On a volume that folds
    // case, "A.txt" and "a.txt" of one source folder meet in one entry:
    // replacing or merging it would lose the first of the two, and a move
    // would then remove both sources.
    std::set<std::pair<dev_t, ino_t>> made_;
    qint64 bytesDone_ = 0;
};
