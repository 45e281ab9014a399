#include "LzxOptimalParser.h"

#include "LzxHuffman.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uint32_t kInfinite = 0xFFFFFFFFu;
// Bits charged for a symbol the current code does not contain: it will get a
// long code if it is used at all.
constexpr uint32_t kUnusedMainBits = 14;
constexpr uint32_t kUnusedLengthBits = 11;

uint32_t lengthHeader(uint32_t length)
{
    return std::min<uint32_t>(length - lzx::kMinMatch, lzx::kNumPrimaryLengths);
}

// The repeats at a node follow from the best way of reaching it.
void deriveRepeats(uint32_t* reps, const uint32_t* before, uint32_t length, uint32_t offsetCode)
{
    std::copy(before, before + lzx::kNumRepeats, reps);
    if (length == 0 || offsetCode == 0)
        return;
    if (offsetCode < 3) {
        std::swap(reps[0], reps[offsetCode]);
    } else {
        reps[2] = reps[1];
        reps[1] = reps[0];
        reps[0] = offsetCode - 2;
    }
}

} // namespace

LzxOptimalParser::LzxOptimalParser(LzxMatchFinder& finder, uint32_t* repeats, int numMainSymbols)
    : finder_(finder), reps_(repeats), numMain_(numMainSymbols)
{
    const uint8_t none[lzx::kMaxMainSymbols] = {};
    seedCosts(none, none, nullptr);
}

void LzxOptimalParser::seedCosts(const uint8_t* mainLengths, const uint8_t* lengthLengths,
                                 const uint8_t* alignedLengths)
{
    for (int s = 0; s < lzx::kNumAlignedSymbols; ++s)
        alignedCost_[s] = alignedLengths ? alignedLengths[s] : 3;
    bool any = false;
    for (int s = 0; s < numMain_; ++s)
        any = any || mainLengths[s] != 0;
    haveSeed_ = any;
    for (int s = 0; s < numMain_; ++s) {
        if (!any)
            mainCost_[s] = s < lzx::kNumChars ? 8 : 10; // neutral guesses for a first block
        else
            mainCost_[s] = mainLengths[s] ? mainLengths[s] : kUnusedMainBits;
    }
    for (uint32_t len = 0; len <= uint32_t(lzx::kMaxMatch); ++len) {
        if (len < uint32_t(lzx::kMinMatch) || lengthHeader(len) < uint32_t(lzx::kNumPrimaryLengths)) {
            lengthCost_[len] = 0;
            continue;
        }
        const uint32_t sym = len - lzx::kMinMatch - lzx::kNumPrimaryLengths;
        lengthCost_[len] = !any ? 6 : lengthLengths[sym] ? lengthLengths[sym] : kUnusedLengthBits;
    }
}

void LzxOptimalParser::costsFromItems(const std::vector<LzxItem>& items)
{
    uint32_t mainFreq[lzx::kMaxMainSymbols] = {};
    uint32_t lengthFreq[lzx::kNumLengthSymbols] = {};
    uint32_t alignedFreq[lzx::kNumAlignedSymbols] = {};
    for (const LzxItem& it : items) {
        ++mainFreq[it.mainSymbol];
        if (it.lengthSymbol != LzxItem::kNoLength)
            ++lengthFreq[it.lengthSymbol];
        if (it.footerBits >= 3)
            ++alignedFreq[it.footer & 7];
    }
    uint8_t mainLen[lzx::kMaxMainSymbols] = {};
    uint8_t lengthLen[lzx::kNumLengthSymbols] = {};
    uint8_t alignedLen[lzx::kNumAlignedSymbols] = {};
    LzxHuffman::buildLengths(mainFreq, numMain_, lzx::kMaxCodeLength, mainLen);
    LzxHuffman::buildLengths(lengthFreq, lzx::kNumLengthSymbols, lzx::kMaxCodeLength, lengthLen);
    LzxHuffman::buildLengths(alignedFreq, lzx::kNumAlignedSymbols, lzx::kMaxAlignedLength, alignedLen);
    uint64_t verbatimBits = 0, alignedBits = 3 * lzx::kNumAlignedSymbols;
    for (int s = 0; s < lzx::kNumAlignedSymbols; ++s) {
        verbatimBits += 3ull * alignedFreq[s];
        alignedBits += uint64_t(alignedLen[s]) * alignedFreq[s];
    }
    seedCosts(mainLen, lengthLen, alignedBits < verbatimBits ? alignedLen : nullptr);
}

void LzxOptimalParser::findAllMatches(uint32_t start, uint32_t end)
{
    const uint32_t n = end - start;
    matches_.clear();
    firstMatch_.assign(n + 1, 0);
    uint32_t skipUntil = start;
    for (uint32_t pos = start; pos < end; ++pos) {
        firstMatch_[pos - start] = uint32_t(matches_.size());
        if (pos < skipUntil)
            continue; // inside a long match: indexed later by skipTo
        const uint32_t maxLength = std::min<uint32_t>(lzx::kMaxMatch, end - pos);
        const int found = finder_.find(pos, maxLength, scratch_);
        matches_.insert(matches_.end(), scratch_, scratch_ + found);
        if (found > 0 && scratch_[found - 1].length >= nice_)
            skipUntil = pos + scratch_[found - 1].length;
    }
    firstMatch_[n] = uint32_t(matches_.size());
    finder_.skipTo(end);
}

void LzxOptimalParser::relax(uint32_t to, uint32_t cost, uint16_t length, uint32_t offsetCode)
{
    Node& node = nodes_[to];
    if (cost < node.cost) {
        node.cost = cost;
        node.length = length;
        node.offsetCode = offsetCode;
    }
}

void LzxOptimalParser::shortestPath(uint32_t start, uint32_t end)
{
    const uint32_t n = end - start;
    nodes_.assign(n + 1, Node{kInfinite, 0, 0, {1, 1, 1}});
    nodes_[0].cost = 0;
    std::copy(reps_, reps_ + lzx::kNumRepeats, nodes_[0].reps);
    const uint8_t* data = finder_.at(start);
    for (uint32_t i = 0; i <= n; ++i) {
        Node& cur = nodes_[i];
        if (i > 0)
            deriveRepeats(cur.reps, nodes_[i - (cur.length ? cur.length : 1)].reps, cur.length, cur.offsetCode);
        if (i == n)
            break;
        const uint32_t base = cur.cost;
        relax(i + 1, base + mainCost_[data[i]], 0, 0);
        const uint32_t maxLength = std::min<uint32_t>(lzx::kMaxMatch, n - i);
        if (maxLength < uint32_t(lzx::kMinMatch))
            continue;

        const uint32_t pos = start + i;
        uint32_t longestRep = 0;
        for (uint32_t r = 0; r < uint32_t(lzx::kNumRepeats); ++r) {
            if ((r > 0 && cur.reps[r] == cur.reps[0]) || (r == 2 && cur.reps[2] == cur.reps[1]))
                continue;
            const uint32_t len = finder_.matchLength(pos, cur.reps[r], maxLength);
            if (len < uint32_t(lzx::kMinMatch))
                continue;
            longestRep = std::max(longestRep, len);
            const uint32_t* sym = mainCost_ + lzx::kNumChars + r * 8;
            if (len >= nice_) {
                relax(i + len, base + sym[lengthHeader(len)] + lengthCost_[len], uint16_t(len), r);
                continue;
            }
            for (uint32_t l = lzx::kMinMatch; l <= len; ++l)
                relax(i + l, base + sym[lengthHeader(l)] + lengthCost_[l], uint16_t(l), r);
        }

        uint32_t shorter = lzx::kMinMatch;
        for (uint32_t k = firstMatch_[i]; k < firstMatch_[i + 1]; ++k) {
            const LzxMatch m = matches_[k];
            const uint32_t from = shorter + 1;
            shorter = m.length;
            if (m.distance == cur.reps[0] || m.distance == cur.reps[1] || m.distance == cur.reps[2])
                continue; // the repeated offset covers it, for fewer bits
            if (m.length <= longestRep && k + 1 < firstMatch_[i + 1])
                continue;
            const uint32_t code = m.distance + 2;
            const int slot = lzx::slotForFormatted(code);
            const uint32_t* sym = mainCost_ + lzx::kNumChars + slot * 8;
            const uint32_t bits = uint32_t(lzx::extraBits(slot));
            const uint32_t extra = bits < 3 ? bits : bits - 3 + alignedCost_[code & 7];
            if (m.length >= nice_) {
                relax(i + m.length, base + sym[lengthHeader(m.length)] + lengthCost_[m.length] + extra,
                      uint16_t(m.length), code);
                continue;
            }
            for (uint32_t l = from; l <= m.length; ++l)
                relax(i + l, base + sym[lengthHeader(l)] + lengthCost_[l] + extra, uint16_t(l), code);
        }
    }
}

void LzxOptimalParser::collect(std::vector<LzxItem>& items, uint32_t start, uint32_t n) const
{
    const size_t first = items.size();
    const uint8_t* data = finder_.at(start);
    for (uint32_t j = n; j > 0;) {
        const Node& node = nodes_[j];
        if (node.length == 0) {
            items.push_back(LzxItem::literal(data[j - 1]));
            --j;
        } else {
            items.push_back(LzxItem::match(node.length, node.offsetCode));
            j -= node.length;
        }
    }
    std::reverse(items.begin() + long(first), items.end());
}

void LzxOptimalParser::parse(uint32_t start, uint32_t end, std::vector<LzxItem>& items)
{
    findAllMatches(start, end);
    const uint32_t n = end - start;
    // Without a previous block the seeded costs are guesses: refine them once.
    const int passes = haveSeed_ ? passes_ : std::max(passes_, 2);
    for (int pass = 1; pass < passes; ++pass) {
        shortestPath(start, end);
        trial_.clear();
        collect(trial_, start, n);
        costsFromItems(trial_);
    }
    shortestPath(start, end);
    collect(items, start, n);
    std::copy(nodes_[n].reps, nodes_[n].reps + lzx::kNumRepeats, reps_);
}
