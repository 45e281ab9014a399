// Length-limited canonical Huffman codes as the LZH block trees use them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::lzh {

class HuffmanCode {
public:
    static constexpr unsigned kMaxLength = 16;

    // Fills lengths[0..count) with optimal code lengths for the frequencies,
    // limited to kMaxLength bits; unused symbols get 0. The result is always a
    // complete prefix code when two or more symbols are used. With fewer than
    // two used symbols every length is 0 (the block uses its single-symbol form).
    // Returns the number of used symbols.
    static size_t buildLengths(const uint32_t* freq, size_t count, uint8_t* lengths);

    // Canonical codes: by increasing length, then by increasing symbol.
    static void assignCodes(const uint8_t* lengths, size_t count, uint16_t* codes);
};

}  // namespace kestrel::lzh
