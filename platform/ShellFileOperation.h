#pragma once

#include "platform/CopyConflictPrompt.h"

#include <QString>
#include <functional>
#include <string>

#include <sys/stat.h>

class Progress;
class Prompter;

// Copies or moves one path (a file, a folder with all it holds, a symbolic
// link, a special file) into a destination folder, the way the desktop's
// file manager does, and says whether it worked.
//
// - Copying into the entry's own folder makes "name - コピー", then
//   "name - コピー (2)"...; moving into its own folder changes nothing and
//   counts as done.
// - Where the destination already holds the name, the user is asked whether
//   to replace (merge, for two folders), skip (counts as done) or stop
//   (counts as failed). A folder and a file never replace each other.
// - A folder is never copied or moved into itself or one of its subfolders.
// - A move within one file system renames. Across file systems everything is
//   copied and compared byte for byte, flushed to disk, and only then are the
//   sources removed; a move that fails or is cancelled before that point
//   removes its partial copy and leaves every source as it was. A source
//   written to after it was copied is not removed, and the move counts as
//   failed: the newer data stays where it was written.
// - Cancel (Progress::report returning false) removes the file being written
//   and everything this call created, and counts as failed. Entries a
//   same-file-system move has already renamed stay moved: a rename loses
//   nothing and the user sees them where they went.
class ShellFileOperation {
public:
    // Numbered as the shell's operation codes.
    enum class Function { Move = 1, Copy = 2 };

    // `title` heads every question asked (the application's title).
    ShellFileOperation(Prompter& prompter, Progress& progress, QString title);

    bool run(Function function, const QString& source, const QString& destinationFolder);
    // Whether the last run ended because the user answered a name-conflict
    // question with Cancel (not a fault; the progress window's Cancel still
    // counts as failed, as Progress says).
    bool stoppedAtQuestion() const { return conflicts_.stopped(); }

    // Test seams. `crossDevice` decides whether a move must copy (default:
    // the source and the destination folder are on different devices);
    // `writeFault` makes the write of a file's data fail (see TreeCopier).
    using DeviceDecision = std::function<bool(const std::string& source, const std::string& folder)>;
    void setCrossDeviceDecision(DeviceDecision decide) { crossDevice_ = std::move(decide); }
    void setWriteFault(std::function<bool(const std::string&)> fault) { writeFault_ = std::move(fault); }

private:
    enum class Outcome { Done, Skipped, Failed, Stopped };

    bool copy(const std::string& source, const struct stat& st, const std::string& folder,
              bool sameFolder);
    bool move(const std::string& source, const struct stat& st, const std::string& folder,
              const struct stat& folderSt);
    Outcome moveByRename(const std::string& source, const struct stat& st, const std::string& target);
    Outcome mergeByRename(const std::string& source, const std::string& target);
    Outcome moveAcross(const std::string& source, const std::string& target, bool replaceConfirmed);
    void countTotal(const std::string& source, const QString& caption);

    Prompter& prompter_;
    Progress& progress_;
    QString title_;
    DeviceDecision crossDevice_;
    std::function<bool(const std::string&)> writeFault_;
    CopyConflictPrompt conflicts_;  // asked anew by each run
    qint64 bytesDone_ = 0;
    bool totalCounted_ = false;
};
