// CRC-16 of LZH archives (polynomial 0x8005 taken LSB first, initial value 0, no
// final XOR), used both for entry data and for level-2 header checks.
#ifndef KESTREL_LZH_CRC16_H
#define KESTREL_LZH_CRC16_H

#include <cstddef>
#include <cstdint>

namespace kestrel::lzh {

class Crc16 {
public:
    void update(const uint8_t* data, size_t size);
    uint16_t value() const { return crc_; }
    static uint16_t of(const uint8_t* data, size_t size);

private:
    uint16_t crc_ = 0;
};

}  // namespace kestrel::lzh

#endif
