#include "LzxTreeWriter.h"

#include "LzxConstants.h"
#include "LzxHuffman.h"

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

uint8_t deltaCode(uint8_t previous, uint8_t length)
{
    return uint8_t((previous + 17 - length) % 17);
}

std::vector<PretreeItem> makeItems(const uint8_t* lengths, const uint8_t* previous, int count)
{
    std::vector<PretreeItem> items;
    int i = 0;
    while (i < count) {
        int run = 1;
        while (i + run < count && lengths[i + run] == lengths[i])
            ++run;
        if (lengths[i] == 0 && run >= 20) {
            const int n = run > 51 ? 51 : run;
            items.push_back({18, 5, uint8_t(n - 20), -1});
            i += n;
        } else if (lengths[i] == 0 && run >= 4) {
            items.push_back({17, 4, uint8_t(run - 4), -1});
            i += run;
        } else if (run >= 4) {
            // The decoder applies the first symbol's delta to the whole run.
            const int n = run > 5 ? 5 : run;
            items.push_back({19, 1, uint8_t(n - 4), int8_t(deltaCode(previous[i], lengths[i]))});
            i += n;
        } else {
            items.push_back({deltaCode(previous[i], lengths[i]), 0, 0, -1});
            ++i;
        }
    }
    return items;
}

} // namespace

void LzxTreeWriter::writeSection(LzxBitWriter& out, const uint8_t* lengths, const uint8_t* previous,
                                 int count)
{
    const std::vector<PretreeItem> items = makeItems(lengths, previous, count);
    uint32_t freq[lzx::kNumPretreeSymbols] = {};
    for (const PretreeItem& it : items) {
        ++freq[it.code];
        if (it.delta >= 0)
            ++freq[it.delta];
    }
    uint8_t len[lzx::kNumPretreeSymbols];
    uint16_t code[lzx::kNumPretreeSymbols];
    LzxHuffman::buildLengths(freq, lzx::kNumPretreeSymbols, lzx::kMaxPretreeLength, len);
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
