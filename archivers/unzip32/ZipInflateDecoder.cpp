#include "ZipInflateDecoder.h"

namespace kestrel::zip {

ZipInflateDecoder::ZipInflateDecoder() : out_(kOutputChunk) {
    ready_ = inflateInit2(&z_, -MAX_WBITS) == Z_OK;  // raw deflate, no zlib header
}

ZipInflateDecoder::~ZipInflateDecoder() {
    if (ready_) inflateEnd(&z_);
}

ZipDecoder::Result ZipInflateDecoder::decode(const uint8_t* data, size_t size, const Emit& emit) {
    if (!ready_) return failed("inflate");
    z_.next_in = const_cast<Bytef*>(data);
    z_.avail_in = static_cast<uInt>(size);
    do {
        z_.next_out = out_.data();
        z_.avail_out = static_cast<uInt>(out_.size());
        const uInt before = z_.avail_in;
        const int rc = inflate(&z_, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return failed("data error");
        const size_t produced = out_.size() - z_.avail_out;
        if (produced > 0 && !emit(out_.data(), produced)) return Result::Stopped;
        if (rc == Z_STREAM_END) {
            ended_ = true;
            return Result::End;
        }
        if (produced == 0 && z_.avail_in == before) break;  // nothing more to do with this input
    } while (z_.avail_in > 0 || z_.avail_out == 0);
    return Result::More;
}

}  // namespace kestrel::zip
