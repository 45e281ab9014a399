#include "AtomicFile.h"

#include <fcntl.h>
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
    std::string pattern = (dir == "/" ? "" : dir) + "/." + name + ".kes-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
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

void AtomicFile::setMode(mode_t mode) {
    mode_ = mode;
    haveMode_ = true;
}

bool AtomicFile::commit() {
    if (fd_ < 0 || failed_ || committed_) {
        discard();
        return false;
    }
    mode_t mode = haveMode_ ? mode_ : (0666 & ~PathText::currentUmask());
    if (!haveMode_) {
        struct stat st;
        if (stat(finalPath_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    }
    bool ok = flushBuffer() && fchmod(fd_, mode) == 0 && (!sync_ || fsync(fd_) == 0);
    int closeResult = ::close(fd_);
    fd_ = -1;
    if (!ok || closeResult != 0 || rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        int saved = errno;
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
