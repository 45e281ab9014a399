#include "LzhArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "LzhHeaderParser.h"
#include "LzhStubSearch.h"
#include "SfxTrailer.h"

namespace kestrel::lzh {

namespace {
// More entries than any real archive holds; a hostile file of tiny headers would
// otherwise make the entry list many times larger than itself.
constexpr size_t MaxEntries = 1 << 20;
}  // namespace

LzhArchive::~LzhArchive() {
    if (fd_ >= 0) close(fd_);
}

LzhArchive::Status LzhArchive::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        problem_ = path + ": 開けません";
        return status_ = Status::CannotOpen;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    KestrelSfxTrailer trailer;
    if (kestrel_sfx_read_trailer(fd_, size, &trailer) && trailer.kind == KESTREL_SFX_LZH) {
        start_ = trailer.payloadOffset;
        end_ = trailer.payloadOffset + trailer.payloadLength;
        return scan(start_);
    }
    end_ = size;
    uint64_t start = 0;
    if (!findStart(0, start)) {
        problem_ = "LZH 書庫ではありません";
        return status_ = Status::NotArchive;
    }
    start_ = start;
    return scan(start);
}

LzhArchive::Status LzhArchive::openRegion(const std::string& path, uint64_t offset, uint64_t length) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0 || offset > static_cast<uint64_t>(st.st_size) ||
        length > static_cast<uint64_t>(st.st_size) - offset) {
        problem_ = path + ": 開けません";
        return status_ = Status::CannotOpen;
    }
    start_ = offset;
    end_ = offset + length;
    return scan(offset);
}

bool LzhArchive::readAt(uint64_t offset, void* buffer, size_t size) const {
    if (fd_ < 0 || offset > end_ || size > end_ - offset) return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        ssize_t n = pread(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The archive starts at `from` when a header parses there (its data may be cut
// off); otherwise it is looked for behind a program stub.
bool LzhArchive::findStart(uint64_t from, uint64_t& start) const {
    auto read = [this](uint64_t o, uint8_t* b, size_t n) { return readAt(o, b, n); };
    LzhEntry entry;
    std::string problem;
    auto outcome = LzhHeaderParser::parse(read, from, end_, entry, problem);
    if (outcome == LzhHeaderParser::Outcome::Entry || outcome == LzhHeaderParser::Outcome::Truncated) {
        start = from;
        return true;
    }
    // An empty archive is a lone end mark.
    uint8_t first;
    if (end_ - from == 1 && readAt(from, &first, 1) && first == 0) {
        start = from;
        return true;
    }
    return LzhStubSearch::find(read, from + 1, end_, start);
}

LzhArchive::Status LzhArchive::scan(uint64_t from) {
    auto read = [this](uint64_t o, uint8_t* b, size_t n) { return readAt(o, b, n); };
    uint64_t offset = from;
    for (;;) {
        LzhEntry entry;
        std::string problem;
        auto outcome = LzhHeaderParser::parse(read, offset, end_, entry, problem);
        if (outcome == LzhHeaderParser::Outcome::End) break;
        if (outcome == LzhHeaderParser::Outcome::Bad) {
            problem_ = problem;
            return status_ = entries_.empty() && offset == from ? Status::NotArchive : Status::Damaged;
        }
        if (entries_.size() >= MaxEntries) {
            problem_ = "エントリが多すぎます";
            return status_ = Status::Damaged;
        }
        offset = entry.dataOffset + entry.compressedSize;
        entries_.push_back(std::move(entry));
        // A cut-off archive still lists the entry whose data it cuts; extracting
        // that entry reports the damage.
        if (outcome == LzhHeaderParser::Outcome::Truncated) {
            problem_ = problem;
            return status_ = Status::Damaged;
        }
    }
    return status_ = Status::Ok;
}

}  // namespace kestrel::lzh
