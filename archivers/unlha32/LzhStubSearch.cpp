#include "LzhStubSearch.h"

#include <algorithm>
#include <vector>

namespace kestrel::lzh {

namespace {

constexpr size_t ChunkSize = 1 << 20;
// A level-0/1 base header is at most 257 bytes; a level-2/3 header's start (to the
// type of its first extension) is 33. Chunks overlap by this much so that no
// candidate is cut at a chunk boundary.
constexpr size_t Overlap = 257;
// Bytes that candidates may make the parser read in all, beyond the scan itself.
constexpr uint64_t ParseBudget = 64ull << 20;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool LzhStubSearch::plausible(const uint8_t* h, size_t avail, uint64_t& claimed) {
    if (!LzhHeaderParser::looksLikeHeader(h)) return false;
    switch (h[20]) {
        case 0:
        case 1: {
            size_t size = h[0];
            if (size + 2 > avail || size < 22u + h[21]) return false;
            uint8_t sum = 0;
            for (size_t i = 2; i < size + 2; ++i) sum = static_cast<uint8_t>(sum + h[i]);
            claimed = size + 2;
            return sum == h[1];
        }
        case 2:
            // The first extension: at least type 0x00 with its two CRC bytes.
            if (avail < 27 || u16(h + 24) < 5 || h[26] != 0x00) return false;
            claimed = u16(h);
            return claimed >= 26 + 5;
        default:
            if (avail < 33 || u16(h) != 4 || u32(h + 28) < 7 || h[32] != 0x00) return false;
            claimed = u32(h + 24);
            return claimed >= 32 + 7 && claimed <= LzhHeaderParser::MaxLevel3Header;
    }
}

bool LzhStubSearch::find(const LzhHeaderParser::ReadAt& read, uint64_t from, uint64_t end, uint64_t& start) {
    std::vector<uint8_t> chunk;
    uint64_t budget = ParseBudget;
    for (uint64_t base = from; base < end && end - base >= 22;) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(ChunkSize + Overlap, end - base));
        chunk.resize(n);
        if (!read(base, chunk.data(), n)) return false;
        bool last = base + n == end;
        size_t scanTo = last ? n - 21 : n - Overlap;
        for (size_t i = 0; i < scanTo; ++i) {
            uint64_t claimed = 0;
            if (!plausible(&chunk[i], n - i, claimed)) continue;
            if (claimed > budget) return false;
            budget -= claimed;
            LzhEntry entry;
            std::string problem;
            if (LzhHeaderParser::parse(read, base + i, end, entry, problem) == LzhHeaderParser::Outcome::Entry) {
                start = base + i;
                return true;
            }
        }
        if (last) break;
        base += scanTo;
    }
    return false;
}

}  // namespace kestrel::lzh
