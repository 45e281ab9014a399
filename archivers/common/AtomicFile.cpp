#include "AtomicFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "PathText.h"

namespace kestrel::arc {

namespace {

constexpr size_t BufferSize = 256 * 1024;

bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

AtomicFile::AtomicFile(std::string finalPath) : finalPath_(std::move(finalPath)) {}

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::followLink() {
    struct stat st;
    if (lstat(finalPath_.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return;
    char* resolved = realpath(finalPath_.c_str(), nullptr);
    if (!resolved) return;  // a dangling link: replace it like any other name
    finalPath_ = resolved;
    std::free(resolved);
}

bool AtomicFile::open() {
    if (fd_ >= 0) return true;
    std::string dir = ".";
    std::string name = finalPath_;
    size_t slash = finalPath_.rfind('/');
    if (slash != std::string::npos) {
        dir = slash == 0 ? "/" : finalPath_.substr(0, slash);
        name = finalPath_.substr(slash + 1);
    }
    // A hidden name with a random tail; cut long names so the temporary name fits.
    if (name.size() > 200) name.resize(200);
    const std::string stem = stem_.empty() ? name + ".kes-" : stem_;
    std::string pattern = (dir == "/" ? "" : dir) + "/." + stem + "XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    // Close-on-exec: the file manager may start programs while a copy runs.
    int fd = mkostemp(buf.data(), O_CLOEXEC);
    if (fd < 0) return false;
    fd_ = fd;
    tempPath_ = buf.data();
    buffer_.reserve(BufferSize);
    return true;
}

bool AtomicFile::flushBuffer() {
    if (buffer_.empty()) return true;
    if (!writeAll(fd_, buffer_.data(), buffer_.size())) {
        failed_ = true;
        return false;
    }
    buffer_.clear();
    return true;
}

bool AtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    written_ += size;
    if (buffer_.size() + size > BufferSize) {
        if (!flushBuffer()) return false;
        if (size >= BufferSize) {
            if (!writeAll(fd_, bytes, size)) {
                failed_ = true;
                return false;
            }
            return true;
        }
    }
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
}

bool AtomicFile::patch(uint64_t offset, const void* data, size_t size) {
    if (fd_ < 0 || failed_ || offset + size > written_) return false;
    if (!flushBuffer()) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = pwrite(fd_, bytes, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            return false;
        }
        bytes += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool AtomicFile::truncate(uint64_t size) {
    if (fd_ < 0 || failed_ || size > written_) return false;
    if (!flushBuffer() || ftruncate(fd_, static_cast<off_t>(size)) != 0 ||
        lseek(fd_, static_cast<off_t>(size), SEEK_SET) < 0) {
        failed_ = true;
        return false;
    }
    written_ = size;
    return true;
}

void AtomicFile::setMode(unsigned mode, bool required) {
    mode_ = mode;
    haveMode_ = true;
    modeRequired_ = required;
}

void AtomicFile::setNewFileMode(unsigned mode) { setMode(mode & ~PathText::currentUmask(), false); }

void AtomicFile::setModificationTime(time_t mtime) {
    mtime_ = mtime;
    haveTime_ = true;
}

int AtomicFile::descriptor() {
    if (fd_ >= 0 && !flushBuffer()) return -1;
    return fd_;
}

bool AtomicFile::applyModeAndTime() {
    if (!leaveMode_) {
        mode_t mode = haveMode_ ? static_cast<mode_t>(mode_) : (0666 & ~PathText::currentUmask());
        struct stat st;
        if (!haveMode_ && stat(finalPath_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
        if (fchmod(fd_, mode) != 0 && (!haveMode_ || modeRequired_)) return false;
    }
    if (haveTime_) {
        const struct timespec times[2] = {{0, UTIME_NOW}, {mtime_, 0}};
        (void)futimens(fd_, times);
    }
    return true;
}

bool AtomicFile::renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    struct stat st;
    if (lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool AtomicFile::rename() {
    if (!replace_) return renameNoReplace(tempPath_, finalPath_);
    return ::rename(tempPath_.c_str(), finalPath_.c_str()) == 0;
}

bool AtomicFile::commit() {
    if (fd_ < 0 || failed_ || committed_) {
        discard();
        return false;
    }
    bool ok = flushBuffer() && applyModeAndTime() && (!sync_ || fsync(fd_) == 0);
    int saved = errno;
    // close() reports write-back errors of some file systems (NFS): they count.
    if (::close(fd_) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    fd_ = -1;
    if (ok && !rename()) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        discard();
        errno = saved;
        return false;
    }
    committed_ = true;
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    buffer_.clear();
}

}  // namespace kestrel::arc
