// Writing a file through a temporary name in the same folder, renamed into place
// only on success, so that a failure never leaves a torn or half-written file and
// never harms the file being replaced. The one way every part of the program
// writes a file safely: the archivers and the file manager's services alike.
#ifndef KESTREL_ARC_ATOMIC_FILE_H
#define KESTREL_ARC_ATOMIC_FILE_H

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace kestrel::arc {

class AtomicFile {
public:
    // Nothing is created until open().
    explicit AtomicFile(std::string finalPath);
    ~AtomicFile();  // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // When the final path is a symbolic link, write to the file it points to
    // instead of replacing the link (an archive reached through a link stays
    // where it is). Without this call a link at the final path is replaced, which
    // is what extraction wants: it must never write through a link.
    void followLink();
    // The temporary file's name: "." + stem + six random characters. By default
    // the stem is the final name (cut to 200 bytes) followed by ".kes-".
    void setTemporaryStem(std::string stem) { stem_ = std::move(stem); }
    // Creates the temporary file next to the final path. False, with errno set,
    // when the folder cannot take it.
    bool open();
    bool write(const void* data, size_t size);
    // Overwrites bytes already written at `offset` (a header whose sizes are only
    // known after its data); the range must lie inside what was written.
    bool patch(uint64_t offset, const void* data, size_t size);
    // Drops everything after the first `size` bytes; writing goes on from there.
    bool truncate(uint64_t size);
    // The permissions the file gets on commit. By default: those of the file being
    // replaced, else 0666 less the umask. With `required` off, a file system that
    // refuses the mode (FAT) does not fail the commit.
    // Permission bits as for chmod (unsigned, so that Qt-side callers need no
    // system header).
    void setMode(unsigned mode, bool required = true);
    // The mode a new file would get from open(path, O_CREAT, mode): the umask
    // takes its bits away. Never required (some file systems decide modes).
    void setNewFileMode(unsigned mode);
    // Commit leaves the permissions as the caller gave them through descriptor()
    // (0600, owner only, when nothing was done).
    void keepTemporaryMode() { leaveMode_ = true; }
    // The modification time the file gets on commit (default: the time written);
    // where the file system cannot keep it, the file is committed all the same.
    void setModificationTime(time_t mtime);
    // Whether commit() may replace an entry already at the final path (default
    // on). Off, commit fails with EEXIST instead.
    void setReplace(bool replace) { replace_ = replace; }
    // Whether commit() flushes the data to the disk before the rename (default on).
    void setSync(bool sync) { sync_ = sync; }
    // Flushes, closes and renames into place. False (temporary removed) on any error.
    bool commit();
    // Removes the temporary file now.
    void discard();

    // The open temporary file, for callers that copy into it themselves, set its
    // owner, or read it back; what write() buffered is on the disk first. -1
    // before open() and after commit() or discard().
    int descriptor();

    // Renames `from` to `to` only when `to` does not exist yet, so that an entry
    // that appeared meanwhile is never replaced. File systems without
    // RENAME_NOREPLACE get a check just before the rename.
    static bool renameNoReplace(const std::string& from, const std::string& to);

    const std::string& finalPath() const { return finalPath_; }
    const std::string& temporaryPath() const { return tempPath_; }
    uint64_t bytesWritten() const { return written_; }

private:
    bool flushBuffer();
    bool applyModeAndTime();
    bool rename();

    std::string finalPath_;
    std::string tempPath_;
    int fd_ = -1;
    bool committed_ = false;
    bool failed_ = false;
    bool sync_ = true;
    bool haveMode_ = false;
    bool modeRequired_ = true;
    bool leaveMode_ = false;
    bool replace_ = true;
    bool haveTime_ = false;
    time_t mtime_ = 0;
    std::string stem_;
    unsigned mode_ = 0;
    uint64_t written_ = 0;
    std::vector<uint8_t> buffer_;
};

}  // namespace kestrel::arc

#endif
