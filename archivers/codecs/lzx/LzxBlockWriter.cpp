#include "LzxBlockWriter.h"

#include "LzxHuffman.h"
#include "LzxTreeWriter.h"

#include <cstring>

LzxBlockWriter::LzxBlockWriter(int windowBits) : numMain_(lzx::mainSymbols(windowBits)) {}

void LzxBlockWriter::buildFreshTrees(const std::vector<LzxItem>& items, Trees& t) const
{
    uint32_t mainFreq[lzx::kMaxMainSymbols] = {};
    uint32_t lengthFreq[lzx::kNumLengthSymbols] = {};
    bool anyLength = false;
    for (const LzxItem& it : items) {
        ++mainFreq[it.mainSymbol];
        if (it.lengthSymbol != LzxItem::kNoLength) {
            ++lengthFreq[it.lengthSymbol];
            anyLength = true;
        }
    }
    LzxHuffman::buildLengths(mainFreq, numMain_, lzx::kMaxCodeLength, t.main);
    // A block without long matches sends an empty length tree, which the
    // format allows, rather than spending bits on dummy codes.
    if (anyLength)
        LzxHuffman::buildLengths(lengthFreq, lzx::kNumLengthSymbols, lzx::kMaxCodeLength, t.length);
    else
        std::memset(t.length, 0, sizeof t.length);
    chooseAligned(items, t);
}

bool LzxBlockWriter::previousTreesFit(const std::vector<LzxItem>& items, Trees& t) const
{
    for (const LzxItem& it : items) {
        if (prevMain_[it.mainSymbol] == 0)
            return false;
        if (it.lengthSymbol != LzxItem::kNoLength && prevLength_[it.lengthSymbol] == 0)
            return false;
    }
    std::memcpy(t.main, prevMain_, sizeof t.main);
    std::memcpy(t.length, prevLength_, sizeof t.length);
    chooseAligned(items, t);
    return true;
}

// The aligned-offset tree replaces the low three footer bits of far matches;
// it pays when those bits are skewed (as in code, where addresses are
// multiples of 4 or 8).
void LzxBlockWriter::chooseAligned(const std::vector<LzxItem>& items, Trees& t)
{
    uint32_t freq[lzx::kNumAlignedSymbols] = {};
    for (const LzxItem& it : items)
        if (it.footerBits >= 3)
            ++freq[it.footer & 7];
    LzxHuffman::buildLengths(freq, lzx::kNumAlignedSymbols, lzx::kMaxAlignedLength, t.aligned);
    uint64_t verbatimBits = 0, alignedBits = 3 * lzx::kNumAlignedSymbols;
    for (int s = 0; s < lzx::kNumAlignedSymbols; ++s) {
        verbatimBits += 3ull * freq[s];
        alignedBits += uint64_t(t.aligned[s]) * freq[s];
    }
    t.useAligned = alignedBits < verbatimBits;
}

void LzxBlockWriter::writeHeader(LzxBitWriter& out, const Trees& t, uint32_t blockSize) const
{
    out.put(t.useAligned ? lzx::kBlockAligned : lzx::kBlockVerbatim, 3);
    out.put(blockSize >> 16, 8);
    out.put((blockSize >> 8) & 0xFF, 8);
    out.put(blockSize & 0xFF, 8);
    if (t.useAligned)
        for (int s = 0; s < lzx::kNumAlignedSymbols; ++s)
            out.put(t.aligned[s], 3);
    LzxTreeWriter::writeSection(out, t.main, prevMain_, lzx::kNumChars);
    LzxTreeWriter::writeSection(out, t.main + lzx::kNumChars, prevMain_ + lzx::kNumChars,
                                numMain_ - lzx::kNumChars);
    LzxTreeWriter::writeSection(out, t.length, prevLength_, lzx::kNumLengthSymbols);
}

uint64_t LzxBlockWriter::cost(const std::vector<LzxItem>& items, const Trees& t, uint32_t blockSize) const
{
    scratch_.clear();
    LzxBitWriter probe(scratch_);
    writeHeader(probe, t, blockSize);
    uint64_t bits = probe.bitCount();
    for (const LzxItem& it : items) {
        bits += t.main[it.mainSymbol];
        if (it.lengthSymbol != LzxItem::kNoLength)
            bits += t.length[it.lengthSymbol];
        bits += it.footerBits;
        if (t.useAligned && it.footerBits >= 3)
            bits += t.aligned[it.footer & 7] - 3;
    }
    return bits;
}

bool LzxBlockWriter::write(LzxBitWriter& out, const std::vector<LzxItem>& items,
                           const std::vector<LzxItem>* reuse, uint32_t blockSize)
{
    buildFreshTrees(items, fresh_);
    const Trees* trees = &fresh_;
    const std::vector<LzxItem>* chosen = &items;
    if (reuse && previousTreesFit(*reuse, repeat_) &&
        cost(*reuse, repeat_, blockSize) < cost(items, fresh_, blockSize)) {
        trees = &repeat_;
        chosen = reuse;
    }
    writeHeader(out, *trees, blockSize);
    std::memcpy(prevMain_, trees->main, sizeof prevMain_);
    std::memcpy(prevLength_, trees->length, sizeof prevLength_);
    LzxHuffman::buildCodes(trees->main, numMain_, codes_.main);
    LzxHuffman::buildCodes(trees->length, lzx::kNumLengthSymbols, codes_.length);
    LzxHuffman::buildCodes(trees->aligned, lzx::kNumAlignedSymbols, codes_.aligned);
    writeItems(out, *chosen, *trees);
    return chosen == reuse;
}

void LzxBlockWriter::writeItems(LzxBitWriter& out, const std::vector<LzxItem>& items, const Trees& t) const
{
    for (const LzxItem& it : items) {
        out.put(codes_.main[it.mainSymbol], t.main[it.mainSymbol]);
        if (it.lengthSymbol != LzxItem::kNoLength)
            out.put(codes_.length[it.lengthSymbol], t.length[it.lengthSymbol]);
        if (t.useAligned && it.footerBits >= 3) {
            out.put(it.footer >> 3, it.footerBits - 3);
            out.put(codes_.aligned[it.footer & 7], t.aligned[it.footer & 7]);
        } else {
            out.put(it.footer, it.footerBits);
        }
    }
}
