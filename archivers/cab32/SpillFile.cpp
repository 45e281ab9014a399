#include "SpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "AtomicFile.h"

namespace kestrel::arc::cab {

SpillFile::~SpillFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool SpillFile::open(const std::string& folder) {
    std::string pattern = (folder.empty() ? std::string(".") : folder) + "/.kes-cab-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd_ = mkstemp(buf.data());
    if (fd_ < 0) return false;
    ::unlink(buf.data());
    return true;
}

bool SpillFile::write(const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
        size_ += static_cast<uint64_t>(n);
    }
    return true;
}

bool SpillFile::moveTo(AtomicFile& out) {
    if (::lseek(fd_, 0, SEEK_SET) < 0) return false;
    std::vector<uint8_t> buf(1 << 20);
    uint64_t left = size_;
    while (left > 0) {
        ssize_t n = ::read(fd_, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (!out.write(buf.data(), static_cast<size_t>(n))) return false;
        left -= static_cast<uint64_t>(n);
    }
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) < 0) return false;
    size_ = 0;
    return true;
}

}  // namespace kestrel::arc::cab
