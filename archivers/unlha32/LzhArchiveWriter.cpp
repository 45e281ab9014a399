#include "LzhArchiveWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "Attributes.h"
#include "Crc16.h"
#include "LzhHeaderWriter.h"
#include "NameEncoding.h"

#ifdef KESTREL_HAVE_LZH_ENCODER
#include "LzhEncoder.h"
#endif

namespace kestrel::lzh {

namespace {

constexpr size_t ChunkSize = 64 * 1024;

#ifdef KESTREL_HAVE_LZH_ENCODER
const char* methodId(LzhCompression method) {
    switch (method) {
        case LzhCompression::Lh5: return "-lh5-";
        case LzhCompression::Lh6: return "-lh6-";
        case LzhCompression::Lh7: return "-lh7-";
    }
    return "-lh5-";
}
#endif

ssize_t readSome(int fd, uint8_t* buf, size_t size) {
    for (;;) {
        ssize_t n = ::read(fd, buf, size);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

}  // namespace

LzhArchiveWriter::LzhArchiveWriter(const std::string& path) : out_(path) {}

bool LzhArchiveWriter::open() {
    out_.followLink();
    return out_.open();
}

bool LzhArchiveWriter::canCompress() {
#ifdef KESTREL_HAVE_LZH_ENCODER
    return true;
#else
    return false;
#endif
}

bool LzhArchiveWriter::copyBytes(const LzhArchive& source, uint64_t offset, uint64_t length) {
    std::vector<uint8_t> buf(ChunkSize);
    while (length > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), length));
        if (!source.readAt(offset, buf.data(), n) || !out_.write(buf.data(), n)) return false;
        offset += n;
        length -= n;
        copied_ += n;
        if (copyProgress_ && !copyProgress_(copied_)) {
            cancelled_ = true;
            return false;
        }
    }
    return true;
}

bool LzhArchiveWriter::copyEntry(const LzhArchive& source, const LzhEntry& entry) {
    return copyBytes(source, entry.headerOffset, entry.rawLength());
}

bool LzhArchiveWriter::copyEntryAs(const LzhArchive& source, const LzhEntry& entry, const LzhEntry& header) {
    auto bytes = LzhHeaderWriter::level2(header);
    if (!bytes || !out_.write(bytes->data(), bytes->size())) return false;
    return copyBytes(source, entry.dataOffset, entry.compressedSize);
}

void LzhArchiveWriter::describe(const arc::Target& target, const struct stat& st,
                                const AddOptions& options, LzhEntry& entry) const {
    entry = LzhEntry{};
    entry.level = 2;
    entry.osId = 'U';
    entry.storedPath = arc::NameEncoding::toStored(target.storedName);
    entry.name = target.storedName;
    entry.isDirectory = target.isDirectory;
    entry.mtime = st.st_mtime;
    entry.dosTime = arc::DosTime::fromTimeT(st.st_mtime);
    if (options.storeAttributes) {
        std::string base = target.diskPath.substr(target.diskPath.rfind('/') + 1);
        entry.hasDosAttributes = true;
        entry.dosAttributes = arc::Attributes::fromMode(st.st_mode, base);
        entry.hasUnixMode = true;
        entry.unixMode = static_cast<uint16_t>(st.st_mode);
    }
}

bool LzhArchiveWriter::addDirectory(const arc::Target& target, const AddOptions& options) {
    struct stat st;
    if (stat(target.diskPath.c_str(), &st) != 0) return false;
    describe(target, st, options, last_);
    last_.method = "-lhd-";
    auto header = LzhHeaderWriter::level2(last_);
    return header && out_.write(header->data(), header->size());
}

LzhArchiveWriter::AddResult LzhArchiveWriter::storeFile(int fd, uint64_t dataStart, LzhEntry& entry,
                                                        const Progress& progress) {
    if (lseek(fd, 0, SEEK_SET) != 0 || !out_.truncate(dataStart)) return AddResult::ReadError;
    std::vector<uint8_t> buf(ChunkSize);
    Crc16 crc;
    uint64_t total = 0;
    for (;;) {
        ssize_t n = readSome(fd, buf.data(), buf.size());
        if (n < 0) return AddResult::ReadError;
        if (n == 0) break;
        crc.update(buf.data(), static_cast<size_t>(n));
        if (!out_.write(buf.data(), static_cast<size_t>(n))) return AddResult::WriteError;
        total += static_cast<uint64_t>(n);
        if (total > 0xFFFFFFFFu) return AddResult::TooLarge;
        if (progress && !progress(total, entry.originalSize)) return AddResult::Cancelled;
    }
    entry.method = "-lh0-";
    entry.crc = crc.value();
    entry.originalSize = entry.compressedSize = total;
    return AddResult::Ok;
}

LzhArchiveWriter::AddResult LzhArchiveWriter::compressFile(int fd, uint64_t size, LzhCompression method,
                                                           LzhEntry& entry, const Progress& progress,
                                                           bool& notSmaller) {
    notSmaller = true;
#ifdef KESTREL_HAVE_LZH_ENCODER
    static_assert(static_cast<int>(LzhCompression::Lh7) == static_cast<int>(LzhMethod::Lh7));
    bool writeFailed = false;
    uint64_t written = 0;
    // Stop as soon as the output reaches the input's size: it will be stored anyway.
    LzhEncoder encoder(static_cast<LzhMethod>(method), [&](const uint8_t* data, size_t n) {
        written += n;
        if (written >= size) return false;
        if (!out_.write(data, n)) {
            writeFailed = true;
            return false;
        }
        return true;
    });
    std::vector<uint8_t> buf(ChunkSize);
    Crc16 crc;
    uint64_t total = 0;
    for (;;) {
        ssize_t n = readSome(fd, buf.data(), buf.size());
        if (n < 0) return AddResult::ReadError;
        if (n == 0) break;
        crc.update(buf.data(), static_cast<size_t>(n));
        total += static_cast<uint64_t>(n);
        if (total > 0xFFFFFFFFu) return AddResult::TooLarge;
        if (!encoder.write(buf.data(), static_cast<size_t>(n))) {
            if (writeFailed) return AddResult::WriteError;
            return AddResult::Ok;  // not smaller: the caller stores it
        }
        // Packed or media data will be stored in the end: stop compressing it in vain.
        if (encoder.incompressibleSoFar()) return AddResult::Ok;
        if (progress && !progress(total, size)) return AddResult::Cancelled;
    }
    if (!encoder.finish()) return writeFailed ? AddResult::WriteError : AddResult::Ok;
    if (encoder.bytesOut() >= total) return AddResult::Ok;
    notSmaller = false;
    entry.method = methodId(method);
    entry.crc = crc.value();
    entry.originalSize = total;
    entry.compressedSize = encoder.bytesOut();
    return AddResult::Ok;
#else
    (void)fd, (void)size, (void)method, (void)entry, (void)progress;
    return AddResult::Ok;
#endif
}

LzhArchiveWriter::AddResult LzhArchiveWriter::addFile(const arc::Target& target, const AddOptions& options,
                                                      const Progress& progress) {
    int fd = ::open(target.diskPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return AddResult::ReadError;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return AddResult::ReadError;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (size > 0xFFFFFFFFu) {
        close(fd);
        return AddResult::TooLarge;
    }
    LzhEntry& entry = last_;
    describe(target, st, options, entry);
    entry.method = "-lh0-";
    entry.originalSize = size;
    // The header goes first with provisional sizes; it keeps its length when the
    // real method, sizes and CRC are filled in afterwards.
    uint64_t headerOffset = out_.bytesWritten();
    auto header = LzhHeaderWriter::level2(entry);
    if (!header || !out_.write(header->data(), header->size())) {
        close(fd);
        return AddResult::WriteError;
    }
    uint64_t dataStart = out_.bytesWritten();
    bool notSmaller = true;
    AddResult r = AddResult::Ok;
    if (size > 0 && canCompress()) r = compressFile(fd, size, options.method, entry, progress, notSmaller);
    if (r == AddResult::Ok && notSmaller) r = storeFile(fd, dataStart, entry, progress);
    close(fd);
    if (r != AddResult::Ok) {
        // Take back the partial entry so that the archive stays whole without it.
        if (!out_.truncate(headerOffset)) return AddResult::WriteError;
        return r;
    }
    header = LzhHeaderWriter::level2(entry);
    if (!header || !out_.patch(headerOffset, header->data(), header->size())) return AddResult::WriteError;
    return AddResult::Ok;
}

bool LzhArchiveWriter::finish() {
    const uint8_t endMark = 0;
    return out_.write(&endMark, 1) && out_.commit();
}

}  // namespace kestrel::lzh
