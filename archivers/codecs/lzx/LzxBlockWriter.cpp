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

bool LzxBlockWriter::write(LzxBitWriter& out, const std::vector<LzxItem>& items, const uint8_t* raw,
                           uint32_t blockSize, const uint32_t* repeats, bool mayStore)
{
    buildFreshTrees(items, fresh_);
    // Uncompressed: header, up to 16 bits of padding, R0..R2, the bytes and a
    // pad byte after an odd size.
    const uint64_t storedBits = 27 + 16 + 96 + 8 * uint64_t(blockSize + (blockSize & 1));
    if (mayStore && storedBits < cost(items, fresh_, blockSize)) {
        writeUncompressed(out, raw, blockSize, repeats);
        return true;
    }
    writeHeader(out, fresh_, blockSize);
    std::memcpy(prevMain_, fresh_.main, sizeof prevMain_);
    std::memcpy(prevLength_, fresh_.length, sizeof prevLength_);
    prevAligned_ = fresh_.useAligned;
    LzxHuffman::buildCodes(fresh_.main, numMain_, codes_.main);
    LzxHuffman::buildCodes(fresh_.length, lzx::kNumLengthSymbols, codes_.length);
    LzxHuffman::buildCodes(fresh_.aligned, lzx::kNumAlignedSymbols, codes_.aligned);
    writeItems(out, items, fresh_);
    return false;
}

void LzxBlockWriter::writeUncompressed(LzxBitWriter& out, const uint8_t* raw, uint32_t blockSize,
                                       const uint32_t* repeats)
{
    out.put(lzx::kBlockUncompressed, 3);
    out.put(blockSize >> 16, 8);
    out.put((blockSize >> 8) & 0xFF, 8);
    out.put(blockSize & 0xFF, 8);
    // Decoders drop the rest of the current 16-bit word, or a whole word
    // when the header ended exactly on a word boundary.
    out.put(0, 1);
    out.alignTo16();
    uint8_t stated[12];
    for (int r = 0; r < lzx::kNumRepeats; ++r)
        for (int b = 0; b < 4; ++b)
            stated[4 * r + b] = uint8_t(repeats[r] >> (8 * b));
    out.putBytes(stated, sizeof stated);
    out.putBytes(raw, blockSize);
    if (blockSize & 1) {
        const uint8_t pad = 0;
        out.putBytes(&pad, 1);
    }
    // Tree lengths stay as the last Huffman block left them.
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
