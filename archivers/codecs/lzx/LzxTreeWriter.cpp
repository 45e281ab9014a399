#include "LzxTreeWriter.h"

#include "LzxConstants.h"
#include "LzxHuffman.h"

#include <algorithm>
#include <vector>

namespace {

// One pretree item: a code, its extra bits, and for a code-19 run the delta
// code that follows the run-length bit.
struct PretreeItem {
    uint8_t code;
    uint8_t extraBits;
    uint8_t extra;
    int8_t delta; // code-19 runs only, -1 otherwise
};

using Items = std::vector<PretreeItem>;

uint8_t deltaCode(uint8_t previous, uint8_t length)
{
    return uint8_t((previous + 17 - length) % 17);
}

void addSingles(Items& items, const uint8_t* lengths, const uint8_t* previous, int from, int n)
{
    for (int k = from; k < from + n; ++k)
        items.push_back({deltaCode(previous[k], lengths[k]), 0, 0, -1});
}

// Codes n equal lengths from i with run codes (17/18 for zeros, 19 for any
// length), the remainder too short for a run as single codes.
void addRunCodes(Items& items, const uint8_t* lengths, const uint8_t* previous, int i, int n)
{
    int k = 0;
    if (lengths[i] == 0) {
        for (; n - k >= 20; k += std::min(n - k, 51))
            items.push_back({18, 5, uint8_t(std::min(n - k, 51) - 20), -1});
        if (n - k >= 4) {
            items.push_back({17, 4, uint8_t(n - k - 4), -1});
            k = n;
        }
    } else {
        // The decoder applies the first symbol's delta to the whole run.
        for (; n - k >= 4; k += std::min(n - k, 5))
            items.push_back({19, 1, uint8_t(std::min(n - k, 5) - 4),
                             int8_t(deltaCode(previous[i + k], lengths[i + k]))});
    }
    addSingles(items, lengths, previous, i + k, n - k);
}

uint32_t itemBits(const Items& items, size_t from, const uint32_t* bits)
{
    uint32_t total = 0;
    for (size_t k = from; k < items.size(); ++k) {
        total += bits[items[k].code] + items[k].extraBits;
        if (items[k].delta >= 0)
            total += bits[items[k].delta];
    }
    return total;
}

// bits: the cost of each pretree code, or null to use run codes wherever
// they apply. With costs, a run is sent as single codes when that is cheaper
// (unchanged lengths often have a one-bit delta code, cheaper than a run).
Items makeItems(const uint8_t* lengths, const uint8_t* previous, int count, const uint32_t* bits)
{
    Items items;
    Items singles;
    for (int i = 0; i < count;) {
        int run = 1;
        while (i + run < count && lengths[i + run] == lengths[i])
            ++run;
        if (run < 4) {
            addSingles(items, lengths, previous, i, run);
            i += run;
            continue;
        }
        const size_t mark = items.size();
        addRunCodes(items, lengths, previous, i, run);
        if (bits) {
            singles.clear();
            addSingles(singles, lengths, previous, i, run);
            if (itemBits(singles, 0, bits) < itemBits(items, mark, bits)) {
                items.resize(mark);
                items.insert(items.end(), singles.begin(), singles.end());
            }
        }
        i += run;
    }
    return items;
}

void buildPretree(const Items& items, uint8_t* len)
{
    uint32_t freq[lzx::kNumPretreeSymbols] = {};
    for (const PretreeItem& it : items) {
        ++freq[it.code];
        if (it.delta >= 0)
            ++freq[it.delta];
    }
    LzxHuffman::buildLengths(freq, lzx::kNumPretreeSymbols, lzx::kMaxPretreeLength, len);
}

} // namespace

void LzxTreeWriter::writeSection(LzxBitWriter& out, const uint8_t* lengths, const uint8_t* previous,
                                 int count)
{
    Items items = makeItems(lengths, previous, count, nullptr);
    uint8_t len[lzx::kNumPretreeSymbols];
    buildPretree(items, len);
    // Refine twice: choose runs or single codes under the pretree of the
    // previous choice, then rebuild the pretree for the new choice.
    for (int round = 0; round < 2; ++round) {
        uint32_t bits[lzx::kNumPretreeSymbols];
        for (int s = 0; s < lzx::kNumPretreeSymbols; ++s)
            bits[s] = len[s] ? len[s] : lzx::kMaxPretreeLength + 1;
        items = makeItems(lengths, previous, count, bits);
        buildPretree(items, len);
    }
    uint16_t code[lzx::kNumPretreeSymbols];
    LzxHuffman::buildCodes(len, lzx::kNumPretreeSymbols, code);
    for (int s = 0; s < lzx::kNumPretreeSymbols; ++s)
        out.put(len[s], 4);
    for (const PretreeItem& it : items) {
        out.put(code[it.code], len[it.code]);
        out.put(it.extra, it.extraBits);
        if (it.delta >= 0)
            out.put(code[it.delta], len[it.delta]);
    }
}
