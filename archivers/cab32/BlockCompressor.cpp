#include "BlockCompressor.h"

#include "LzxBlockCompressor.h"
#include "MsZipCompressor.h"

namespace kestrel::arc::cab {

std::unique_ptr<BlockCompressor> BlockCompressor::create(CabMethod method, int lzxWindowBits) {
    if (method == CabMethod::Lzx) return std::make_unique<LzxBlockCompressor>(lzxWindowBits);
    return std::make_unique<MsZipCompressor>();
}

}  // namespace kestrel::arc::cab
