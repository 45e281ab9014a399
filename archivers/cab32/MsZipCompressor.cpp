#include "MsZipCompressor.h"

#include <new>
#include <stdexcept>

#include "CabFormat.h"

namespace kestrel::arc::cab {

namespace {

// After a sync flush the deflate output ends on a byte boundary with a non-final
// empty stored block. These two bytes add an empty fixed-Huffman block with the
// final bit set (1, 01, then the 7-bit end-of-block code), which ends the block's
// deflate stream as MSZIP readers require, without resetting the history.
constexpr uint8_t kFinalEmptyBlock[2] = {0x03, 0x00};

}  // namespace

MsZipCompressor::MsZipCompressor(int level) {
    // Raw deflate (negative window bits), 32 KiB window as MSZIP readers keep.
    if (deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    ready_ = true;
}

MsZipCompressor::~MsZipCompressor() {
    if (ready_) deflateEnd(&stream_);
}

uint16_t MsZipCompressor::typeCompress() const { return kCompressMsZip; }

std::vector<uint8_t> MsZipCompressor::compress(const uint8_t* data, size_t size, bool) {
    std::vector<uint8_t> out(2 + deflateBound(&stream_, size) + 16 + sizeof kFinalEmptyBlock);
    out[0] = 'C';
    out[1] = 'K';
    stream_.next_in = const_cast<Bytef*>(data);
    stream_.avail_in = static_cast<uInt>(size);
    stream_.next_out = out.data() + 2;
    stream_.avail_out = static_cast<uInt>(out.size() - 2 - sizeof kFinalEmptyBlock);
    int rc = deflate(&stream_, Z_SYNC_FLUSH);
    if (rc != Z_OK || stream_.avail_in != 0 || stream_.avail_out == 0)
        throw std::runtime_error("deflate failed");
    size_t used = out.size() - sizeof kFinalEmptyBlock - stream_.avail_out;
    out[used] = kFinalEmptyBlock[0];
    out[used + 1] = kFinalEmptyBlock[1];
    out.resize(used + sizeof kFinalEmptyBlock);
    return out;
}

}  // namespace kestrel::arc::cab
