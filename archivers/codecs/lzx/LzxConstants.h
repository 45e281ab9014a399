#pragma once

#include <array>
#include <cstdint>

// Fixed numbers of the LZX format as cabinets use it.
namespace lzx {

constexpr int kNumChars = 256;
constexpr int kMinMatch = 2;
constexpr int kMaxMatch = 257;
constexpr int kNumPrimaryLengths = 7;
constexpr int kNumLengthSymbols = 249;
constexpr int kNumPretreeSymbols = 20;
constexpr int kNumAlignedSymbols = 8;
constexpr int kMaxCodeLength = 16;
constexpr int kMaxPretreeLength = 15;
constexpr int kMaxAlignedLength = 7;
constexpr int kMaxPositionSlots = 51;
constexpr int kNumRepeats = 3;

constexpr int kBlockVerbatim = 1;
constexpr int kBlockAligned = 2;
constexpr int kBlockUncompressed = 3;

// The largest main-tree alphabet (2 MiB window): 256 + 8 * 50.
constexpr int kMaxMainSymbols = kNumChars + 8 * 50;

// Position slots per window size: twice the window bits up to 512 KiB, then
// the irregular 42 and 50 of the 1 MiB and 2 MiB windows.
constexpr int positionSlots(int windowBits)
{
    return windowBits == 21 ? 50 : windowBits == 20 ? 42 : 2 * windowBits;
}

constexpr int mainSymbols(int windowBits) { return kNumChars + 8 * positionSlots(windowBits); }

constexpr int extraBits(int slot)
{
    return slot < 4 ? 0 : slot < 36 ? slot / 2 - 1 : 17;
}

constexpr std::array<uint32_t, kMaxPositionSlots> makeSlotBases()
{
    std::array<uint32_t, kMaxPositionSlots> base{};
    for (int s = 1; s < kMaxPositionSlots; ++s)
        base[s] = base[s - 1] + (1u << extraBits(s - 1));
    return base;
}

constexpr std::array<uint32_t, kMaxPositionSlots> kSlotBase = makeSlotBases();

// Slot of a formatted offset (distance + 2, always >= 3 for explicit ones).
inline int slotForFormatted(uint32_t f)
{
    if (f < 4)
        return int(f);
    if (f >= 262144)
        return 36 + int((f - 262144) >> 17);
    const int h = 31 - __builtin_clz(f);
    return 2 * h + int((f >> (h - 1)) & 1);
}

} // namespace lzx
