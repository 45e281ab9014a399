#include "LzxLazyParser.h"

#include <algorithm>
#include <utility>

namespace {

// Rough bit costs, good enough to rank candidates: a literal is worth about
// six bits; a match pays for its symbol, its length symbol and its footer.
constexpr int kLiteralBits = 6;

int matchGain(uint32_t length, uint32_t offsetCode)
{
    int cost = offsetCode == 0 ? 4 : offsetCode < 3 ? 6 : 9 + lzx::extraBits(lzx::slotForFormatted(offsetCode));
    if (length >= 9)
        cost += 5;
    return int(length) * kLiteralBits - cost;
}

} // namespace

LzxLazyParser::Choice LzxLazyParser::best(uint32_t pos, uint32_t end)
{
    Choice c;
    const uint32_t maxLength = std::min<uint32_t>(lzx::kMaxMatch, end - pos);
    if (maxLength < uint32_t(lzx::kMinMatch)) {
        finder_.skipTo(pos + 1);
        return c;
    }
    for (uint32_t r = 0; r < uint32_t(lzx::kNumRepeats); ++r) {
        const uint32_t len = finder_.matchLength(pos, reps_[r], maxLength);
        if (len >= uint32_t(lzx::kMinMatch)) {
            const int gain = matchGain(len, r);
            if (gain > c.gain)
                c = {len, r, gain};
        }
    }
    const int n = finder_.find(pos, maxLength, matches_);
    for (int i = n - 1; i >= 0 && i >= n - 3; --i) {
        const uint32_t code = matches_[i].distance + 2;
        const int gain = matchGain(matches_[i].length, code);
        if (gain > c.gain)
            c = {matches_[i].length, code, gain};
    }
    return c;
}

void LzxLazyParser::commit(const Choice& c, std::vector<LzxItem>& items)
{
    items.push_back(LzxItem::match(c.length, c.offsetCode));
    if (c.offsetCode == 1 || c.offsetCode == 2) {
        std::swap(reps_[0], reps_[c.offsetCode]);
    } else if (c.offsetCode >= 3) {
        reps_[2] = reps_[1];
        reps_[1] = reps_[0];
        reps_[0] = c.offsetCode - 2;
    }
}

void LzxLazyParser::parse(uint32_t start, uint32_t end, std::vector<LzxItem>& items)
{
    uint32_t pos = start;
    Choice cur = best(pos, end);
    while (pos < end) {
        if (cur.length == 0) {
            items.push_back(LzxItem::literal(*finder_.at(pos)));
            ++pos;
            if (pos < end)
                cur = best(pos, end);
            continue;
        }
        if (cur.length < 48 && pos + 1 < end) {
            const Choice next = best(pos + 1, end);
            if (next.gain > cur.gain + kLiteralBits) {
                items.push_back(LzxItem::literal(*finder_.at(pos)));
                ++pos;
                cur = next;
                continue;
            }
        }
        commit(cur, items);
        pos += cur.length;
        finder_.skipTo(pos);
        if (pos < end)
            cur = best(pos, end);
    }
}
