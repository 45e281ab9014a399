#include "Crc16.h"

#include <array>

namespace kestrel::lzh {

namespace {

constexpr std::array<uint16_t, 256> makeTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> Table = makeTable();

}  // namespace

void Crc16::update(const uint8_t* data, size_t size) {
    uint16_t crc = crc_;
    for (size_t i = 0; i < size; ++i) crc = static_cast<uint16_t>(Table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8));
    crc_ = crc;
}

uint16_t Crc16::of(const uint8_t* data, size_t size) {
    Crc16 crc;
    crc.update(data, size);
    return crc.value();
}

}  // namespace kestrel::lzh
