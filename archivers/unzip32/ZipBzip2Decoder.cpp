#include "ZipBzip2Decoder.h"

namespace kestrel::zip {

ZipBzip2Decoder::ZipBzip2Decoder() : out_(kOutputChunk) {
    ready_ = BZ2_bzDecompressInit(&bz_, 0, 0) == BZ_OK;
}

ZipBzip2Decoder::~ZipBzip2Decoder() {
    if (ready_) BZ2_bzDecompressEnd(&bz_);
}

ZipDecoder::Result ZipBzip2Decoder::decode(const uint8_t* data, size_t size, const Emit& emit) {
    if (!ready_) return failed("bzip2");
    bz_.next_in = reinterpret_cast<char*>(const_cast<uint8_t*>(data));
    bz_.avail_in = static_cast<unsigned>(size);
    do {
        bz_.next_out = reinterpret_cast<char*>(out_.data());
        bz_.avail_out = static_cast<unsigned>(out_.size());
        const unsigned before = bz_.avail_in;
        const int rc = BZ2_bzDecompress(&bz_);
        if (rc != BZ_OK && rc != BZ_STREAM_END) return failed("data error");
        const size_t produced = out_.size() - bz_.avail_out;
        if (produced > 0 && !emit(out_.data(), produced)) return Result::Stopped;
        if (rc == BZ_STREAM_END) {
            ended_ = true;
            return Result::End;
        }
        if (produced == 0 && bz_.avail_in == before) break;
    } while (bz_.avail_in > 0 || bz_.avail_out == 0);
    return Result::More;
}

}  // namespace kestrel::zip
