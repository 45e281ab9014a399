#pragma once

#include "LzxConstants.h"

#include <cstdint>

// One coded element of a block: a literal or a match, already split into the
// symbols and footer bits that the block writer sends.
struct LzxItem {
    static constexpr uint16_t kNoLength = 0xFFFF;

    uint16_t mainSymbol;
    uint16_t lengthSymbol;
    uint8_t footerBits;
    uint32_t footer;

    static LzxItem literal(uint8_t byte) { return {byte, kNoLength, 0, 0}; }

    // offsetCode: 0, 1, 2 for the repeated offsets R0..R2, otherwise the
    // formatted offset (distance + 2).
    static LzxItem match(uint32_t length, uint32_t offsetCode)
    {
        const int slot = lzx::slotForFormatted(offsetCode);
        const uint32_t header = length - lzx::kMinMatch < lzx::kNumPrimaryLengths
                                    ? length - lzx::kMinMatch
                                    : lzx::kNumPrimaryLengths;
        LzxItem item;
        item.mainSymbol = uint16_t(lzx::kNumChars + slot * 8 + header);
        item.lengthSymbol = header == lzx::kNumPrimaryLengths
                                ? uint16_t(length - lzx::kMinMatch - lzx::kNumPrimaryLengths)
                                : kNoLength;
        item.footerBits = uint8_t(lzx::extraBits(slot));
        item.footer = slot < 3 ? 0 : offsetCode - lzx::kSlotBase[slot];
        return item;
    }
};
