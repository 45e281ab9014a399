#include "ZipArchiveStart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace kestrel::zip {

namespace {

constexpr size_t kEndRecordSize = 22;
constexpr size_t kMaxComment = 0xffff;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndRecordSize = 56;  // without the rarely used extensible data
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;

uint32_t le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }

uint32_t le32(const uint8_t* p) {
    return le16(p) | le16(p + 2) << 16;
}

uint64_t le64(const uint8_t* p) { return le32(p) | static_cast<uint64_t>(le32(p + 4)) << 32; }

class File {
public:
    explicit File(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~File() {
        if (fd_ >= 0) ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool ok() const { return fd_ >= 0; }
    uint64_t size() const {
        struct stat st{};
        return ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    }
    bool read(uint64_t offset, uint8_t* data, size_t size) const {
        while (size > 0) {
            const ssize_t n = ::pread(fd_, data, size, static_cast<off_t>(offset));
            if (n <= 0) return false;
            data += n;
            size -= static_cast<size_t>(n);
            offset += static_cast<uint64_t>(n);
        }
        return true;
    }
    bool signatureAt(uint64_t offset, uint32_t signature) const {
        uint8_t b[4];
        return read(offset, b, sizeof b) && le32(b) == signature;
    }

private:
    int fd_;
};

// The start implied by a ZIP64 end record: where it is found minus where the
// locator says it is.
std::optional<uint64_t> zip64Start(const File& file, uint64_t endAt) {
    if (endAt < kZip64LocatorSize + kZip64EndRecordSize) return std::nullopt;
    const uint64_t locatorAt = endAt - kZip64LocatorSize;
    uint8_t locator[kZip64LocatorSize];
    if (!file.read(locatorAt, locator, sizeof locator) || le32(locator) != kZip64LocatorSignature)
        return std::nullopt;
    const uint64_t recordAt = locatorAt - kZip64EndRecordSize;
    const uint64_t stated = le64(locator + 8);
    if (!file.signatureAt(recordAt, kZip64EndSignature) || stated > recordAt) return std::nullopt;
    return recordAt - stated;
}

// The start implied by one candidate end record at `endAt`, or nothing when the
// record does not fit what is around it.
std::optional<uint64_t> startFrom(const File& file, const uint8_t* record, uint64_t endAt) {
    const uint64_t centralSize = le32(record + 12);
    const uint64_t centralOffset = le32(record + 16);
    if (centralSize == 0xffffffff || centralOffset == 0xffffffff) return zip64Start(file, endAt);
    if (const auto start = zip64Start(file, endAt)) return start;
    if (centralSize > endAt) return std::nullopt;
    const uint64_t centralAt = endAt - centralSize;
    if (centralOffset > centralAt) return std::nullopt;
    // An empty archive has no central directory to check against.
    if (centralSize > 0 && !file.signatureAt(centralAt, kCentralSignature)) return std::nullopt;
    return centralAt - centralOffset;
}

}  // namespace

std::optional<uint64_t> ZipArchiveStart::find(const std::string& path) {
    const File file(path);
    if (!file.ok()) return std::nullopt;
    const uint64_t size = file.size();
    if (size < kEndRecordSize) return std::nullopt;
    // The end record sits within the last 64 KiB + 22 bytes (its comment is at most
    // 65535 bytes); the last one whose comment reaches the end of the file wins.
    const uint64_t tailAt = size - std::min<uint64_t>(size, kEndRecordSize + kMaxComment);
    std::vector<uint8_t> tail(static_cast<size_t>(size - tailAt));
    if (!file.read(tailAt, tail.data(), tail.size())) return std::nullopt;
    for (size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        const uint8_t* record = tail.data() + at;
        if (le32(record) != kEndSignature) continue;
        if (at + kEndRecordSize + le16(record + 20) > tail.size()) continue;
        const auto start = startFrom(file, record, tailAt + at);
        if (!start) continue;
        if (*start == 0) return std::nullopt;
        return start;
    }
    return std::nullopt;
}

}  // namespace kestrel::zip
