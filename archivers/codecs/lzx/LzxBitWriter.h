#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// LZX bit packing: fields go most significant bit first into 16-bit words,
// and each word is stored little-endian.
class LzxBitWriter {
public:
    explicit LzxBitWriter(std::vector<uint8_t>& out) : out_(out) {}

    // Appends the low `bits` bits of value (bits <= 32).
    void put(uint32_t value, int bits)
    {
        if (bits == 0)
            return;
        bits_ += uint64_t(bits);
        acc_ = (acc_ << bits) | (value & (bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1)));
        count_ += bits;
        while (count_ >= 16) {
            count_ -= 16;
            const uint16_t word = uint16_t(acc_ >> count_);
            out_.push_back(uint8_t(word));
            out_.push_back(uint8_t(word >> 8));
        }
    }

    // Appends whole bytes; only valid on a 16-bit boundary.
    void putBytes(const uint8_t* bytes, size_t n)
    {
        out_.insert(out_.end(), bytes, bytes + n);
        bits_ += 8 * uint64_t(n);
    }

    // Bits written so far through this writer.
    uint64_t bitCount() const { return bits_; }

    // Pads with zero bits to the next 16-bit boundary (nothing if aligned).
    void alignTo16()
    {
        if (count_ != 0)
            put(0, 16 - count_);
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t acc_ = 0;
    int count_ = 0;
    uint64_t bits_ = 0;
};
