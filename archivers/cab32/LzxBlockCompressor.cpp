#include "LzxBlockCompressor.h"

namespace kestrel::arc::cab {

LzxBlockCompressor::LzxBlockCompressor(int windowBits) : encoder_(windowBits) {}

std::vector<uint8_t> LzxBlockCompressor::compress(const uint8_t* data, size_t size, bool last) {
    return encoder_.encodeFrame(data, size, last);
}

uint16_t LzxBlockCompressor::typeCompress() const { return encoder_.folderCompressionType(); }

}  // namespace kestrel::arc::cab
