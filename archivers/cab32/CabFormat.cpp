#include "CabFormat.h"

namespace kestrel::arc::cab {

uint32_t checksum(const uint8_t* data, size_t size, uint32_t seed) {
    uint32_t sum = seed;
    size_t words = size / 4;
    for (size_t i = 0; i < words; ++i, data += 4) {
        sum ^= static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
               static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    }
    uint32_t tail = 0;
    switch (size & 3) {
    case 3: tail |= static_cast<uint32_t>(*data++) << 16; [[fallthrough]];
    case 2: tail |= static_cast<uint32_t>(*data++) << 8; [[fallthrough]];
    case 1: tail |= *data;
    }
    return sum ^ tail;
}

uint32_t dataBlockChecksum(const uint8_t* data, uint16_t compressedSize, uint16_t uncompressedSize) {
    uint8_t sizes[4];
    setU16(sizes, compressedSize);
    setU16(sizes + 2, uncompressedSize);
    return checksum(sizes, 4, checksum(data, compressedSize, 0));
}

std::string methodText(uint16_t typeCompress) {
    switch (typeCompress & 0x0F) {
    case kCompressNone: return "None";
    case kCompressMsZip: return "MSZIP";
    case kCompressQuantum: return "Quantum";
    case kCompressLzx: return "LZX:" + std::to_string((typeCompress >> 8) & 0x1F);
    default: return "Unknown";
    }
}

}  // namespace kestrel::arc::cab
