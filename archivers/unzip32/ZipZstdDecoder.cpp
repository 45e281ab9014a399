#include "ZipZstdDecoder.h"

#include <zstd_errors.h>

namespace kestrel::zip {

ZipZstdDecoder::ZipZstdDecoder() : stream_(ZSTD_createDStream()), out_(kOutputChunk) {
    // libzstd's default window limit (128 MiB) stands: larger frames are refused
    // rather than allowed to take the memory a hostile header asks for.
    if (stream_ != nullptr) ZSTD_initDStream(stream_);
}

ZipZstdDecoder::~ZipZstdDecoder() { ZSTD_freeDStream(stream_); }

ZipDecoder::Result ZipZstdDecoder::decode(const uint8_t* data, size_t size, const Emit& emit) {
    if (stream_ == nullptr) return failed("zstd");
    ZSTD_inBuffer in{data, size, 0};
    do {
        ZSTD_outBuffer out{out_.data(), out_.size(), 0};
        const size_t before = in.pos;
        const size_t rc = ZSTD_decompressStream(stream_, &out, &in);
        if (ZSTD_isError(rc))
            return failed(ZSTD_getErrorCode(rc) == ZSTD_error_frameParameter_windowTooLarge ? "window too large"
                                                                                            : "data error");
        frameEnded_ = rc == 0;
        if (out.pos > 0 && !emit(out_.data(), out.pos)) return Result::Stopped;
        if (out.pos == 0 && in.pos == before) break;
        if (out.pos < out.size && in.pos == in.size) break;
    } while (true);
    return Result::More;
}

}  // namespace kestrel::zip
