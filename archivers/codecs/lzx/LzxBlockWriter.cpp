#include "LzxBlockWriter.h"

#include "LzxHuffman.h"
#include "LzxTreeWriter.h"

#include <cstring>

LzxBlockWriter::LzxBlockWriter(int windowBits) : numMain_(lzx::mainSymbols(windowBits)) {}

void LzxBlockWriter::write(LzxBitWriter& out, const std::vector<LzxItem>& items, uint32_t blockSize)
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
    LzxHuffman::buildLengths(mainFreq, numMain_, lzx::kMaxCodeLength, mainLen_);
    // A block without long matches sends an empty length tree, which the
    // format allows, rather than spending bits on dummy codes.
    bool anyLength = false;
    for (uint32_t f : lengthFreq)
        anyLength = anyLength || f != 0;
    if (anyLength)
        LzxHuffman::buildLengths(lengthFreq, lzx::kNumLengthSymbols, lzx::kMaxCodeLength, lengthLen_);
    else
        std::memset(lengthLen_, 0, sizeof lengthLen_);
    LzxHuffman::buildLengths(alignedFreq, lzx::kNumAlignedSymbols, lzx::kMaxAlignedLength, alignedLen_);

    uint64_t verbatimBits = 0, alignedBits = 3 * lzx::kNumAlignedSymbols;
    for (int s = 0; s < lzx::kNumAlignedSymbols; ++s) {
        verbatimBits += 3ull * alignedFreq[s];
        alignedBits += uint64_t(alignedLen_[s]) * alignedFreq[s];
    }
    const bool aligned = alignedBits < verbatimBits;

    out.put(aligned ? lzx::kBlockAligned : lzx::kBlockVerbatim, 3);
    out.put(blockSize >> 16, 8);
    out.put((blockSize >> 8) & 0xFF, 8);
    out.put(blockSize & 0xFF, 8);
    if (aligned)
        for (int s = 0; s < lzx::kNumAlignedSymbols; ++s)
            out.put(alignedLen_[s], 3);
    LzxTreeWriter::writeSection(out, mainLen_, prevMain_, lzx::kNumChars);
    LzxTreeWriter::writeSection(out, mainLen_ + lzx::kNumChars, prevMain_ + lzx::kNumChars,
                                numMain_ - lzx::kNumChars);
    LzxTreeWriter::writeSection(out, lengthLen_, prevLength_, lzx::kNumLengthSymbols);
    std::memcpy(prevMain_, mainLen_, sizeof prevMain_);
    std::memcpy(prevLength_, lengthLen_, sizeof prevLength_);

    LzxHuffman::buildCodes(mainLen_, numMain_, mainCode_);
    LzxHuffman::buildCodes(lengthLen_, lzx::kNumLengthSymbols, lengthCode_);
    LzxHuffman::buildCodes(alignedLen_, lzx::kNumAlignedSymbols, alignedCode_);
    writeItems(out, items, aligned);
}

void LzxBlockWriter::writeItems(LzxBitWriter& out, const std::vector<LzxItem>& items, bool aligned) const
{
    for (const LzxItem& it : items) {
        out.put(mainCode_[it.mainSymbol], mainLen_[it.mainSymbol]);
        if (it.lengthSymbol != LzxItem::kNoLength)
            out.put(lengthCode_[it.lengthSymbol], lengthLen_[it.lengthSymbol]);
        if (aligned && it.footerBits >= 3) {
            out.put(it.footer >> 3, it.footerBits - 3);
            out.put(alignedCode_[it.footer & 7], alignedLen_[it.footer & 7]);
        } else {
            out.put(it.footer, it.footerBits);
        }
    }
}
