#pragma once

#include <QString>

#include <memory>

namespace kestrel::arc {
class AtomicFile;
}

// The file that a join writes into: a temporary file beside the output, renamed
// over the output only when every byte is there. Until then the output path is
// never opened, so a cancelled or failed join leaves an existing file at that
// path untouched — also when that file is one of the entries being joined.
class JoinOutput {
public:
    JoinOutput();
    ~JoinOutput();  // removes the temporary file unless committed
    JoinOutput(const JoinOutput&) = delete;
    JoinOutput& operator=(const JoinOutput&) = delete;

    // Creates the temporary file in the output's folder. False with errno in
    // `error` when that is not possible (no folder, no right to write, the output
    // is a folder).
    bool create(const QString& outputPath, int& error);

    // After a failed create(): the output's name is taken by something other
    // than a file or a folder (a device, a pipe, a socket), which is never replaced.
    bool refusedSpecialFile() const { return special_; }

    int fd() const;
    // The path the data will have in the end (a link at the output is followed).
    const QString& target() const { return target_; }
    QString temporaryPath() const;

    // Narrows what group and others may do with a new output to what they may
    // do with one of the entries (its mode's group and other bits).
    void limitToEntry(unsigned entryMode) { othersMay_ &= entryMode & 0077; }

    // Gives the temporary file the permissions (and, where allowed, the owner
    // and group) of the file it replaces (if any),
    // makes the data durable when an existing file is replaced, and renames it
    // over the output. False with errno in `error`; the temporary file is then
    // removed.
    bool commit(int& error);

    // Removes the temporary file (nothing when already committed or removed).
    void discard();

private:
    QString target_;
    std::unique_ptr<kestrel::arc::AtomicFile> file_;
    bool special_ = false;
    unsigned othersMay_ = 0077;
};
