#include "ZipLzmaDecoder.h"

#include <algorithm>

namespace kestrel::zip {

namespace {

// The dictionary an archive may make us allocate. Writers use at most 64 MiB for
// ZIP entries; a larger one is more likely a hostile header than a real stream.
constexpr uint64_t kMemoryLimit = 512ull * 1024 * 1024;
constexpr size_t kZipHeaderSize = 4;
constexpr size_t kPropertiesSize = 5;

}  // namespace

ZipLzmaDecoder::ZipLzmaDecoder(Format format, uint64_t size)
    : format_(format), size_(size), out_(kOutputChunk) {
    if (format_ == Format::Xz)
        ready_ = lzma_stream_decoder(&lzma_, kMemoryLimit, 0) == LZMA_OK;
}

ZipLzmaDecoder::~ZipLzmaDecoder() { lzma_end(&lzma_); }

size_t ZipLzmaDecoder::takeHeader(const uint8_t* data, size_t size, Result& result) {
    result = Result::More;
    const size_t want = kZipHeaderSize + kPropertiesSize - header_.size();
    const size_t take = std::min(want, size);
    header_.insert(header_.end(), data, data + take);
    if (header_.size() < kZipHeaderSize + kPropertiesSize) return take;
    const size_t propertiesSize = header_[2] | header_[3] << 8;
    if (propertiesSize != kPropertiesSize) {
        result = failed("unknown LZMA properties");
        return take;
    }
    uint8_t alone[kPropertiesSize + 8];
    std::copy(header_.begin() + kZipHeaderSize, header_.end(), alone);
    for (int i = 0; i < 8; ++i) alone[kPropertiesSize + i] = static_cast<uint8_t>(size_ >> (8 * i));
    if (lzma_alone_decoder(&lzma_, kMemoryLimit) != LZMA_OK) {
        result = failed("lzma");
        return take;
    }
    ready_ = true;
    // The made-up header goes in first; it produces no output.
    result = run(alone, sizeof alone, [](const uint8_t*, size_t) { return true; });
    return take;
}

ZipDecoder::Result ZipLzmaDecoder::decode(const uint8_t* data, size_t size, const Emit& emit) {
    if (format_ == Format::ZipLzma && !ready_) {
        Result result = Result::More;
        const size_t taken = takeHeader(data, size, result);
        if (result != Result::More || !ready_) return result;
        data += taken;
        size -= taken;
    }
    if (!ready_) return failed("lzma");
    return run(data, size, emit);
}

ZipDecoder::Result ZipLzmaDecoder::run(const uint8_t* data, size_t size, const Emit& emit) {
    lzma_.next_in = data;
    lzma_.avail_in = size;
    do {
        lzma_.next_out = out_.data();
        lzma_.avail_out = out_.size();
        const size_t before = lzma_.avail_in;
        const lzma_ret rc = lzma_code(&lzma_, LZMA_RUN);
        if (rc == LZMA_MEMLIMIT_ERROR) return failed("dictionary too large");
        if (rc != LZMA_OK && rc != LZMA_STREAM_END && rc != LZMA_BUF_ERROR) return failed("data error");
        const size_t produced = out_.size() - lzma_.avail_out;
        if (produced > 0 && !emit(out_.data(), produced)) return Result::Stopped;
        if (rc == LZMA_STREAM_END) {
            ended_ = true;
            return Result::End;
        }
        if (produced == 0 && lzma_.avail_in == before) break;
    } while (lzma_.avail_in > 0 || lzma_.avail_out == 0);
    return Result::More;
}

}  // namespace kestrel::zip
