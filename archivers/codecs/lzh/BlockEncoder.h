// Gathers literals and matches and writes them as static Huffman blocks:
// a 16-bit code count, the pre-tree, the character/length tree, the
// position tree, then the codes themselves.
//
// Where a block ends is chosen from the data: every few thousand codes the
// newest stretch is priced on its own and together with the block so far,
// and it starts a block of its own when separate trees come out cheaper
// (code and tables inside an executable, say). Uniform data grows blocks up
// to the format's limit, sparing trees.
#pragma once

#include "BitWriter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::lzh {

class BlockEncoder {
public:
    static constexpr unsigned kCharCodes = 510;   // 256 literals + lengths 3..256
    static constexpr unsigned kPreCodes = 19;
    static constexpr unsigned kMinMatch = 3;
    static constexpr unsigned kMaxMatch = 256;
    static constexpr size_t kMaxBlockCodes = 65535;  // the count field is 16 bits

    // dictBits: 13, 15 or 16; the position alphabet has dictBits + 1 classes.
    BlockEncoder(unsigned dictBits, BitWriter& out);

    void literal(uint8_t byte)
    {
        ++charFreq_[byte];
        ++tailCharFreq_[byte];
        codes_.push_back(byte);
        positions_.push_back(0);
        if (codes_.size() - tailStart_ == kStretchCodes)
            endStretch();
    }

    // length in [3, 256], distance in [1, 2^dictBits].
    void match(unsigned length, unsigned distance)
    {
        const unsigned code = length - kMinMatch + 256;
        const unsigned p = distance - 1;
        const unsigned cls = positionClass(p);
        ++charFreq_[code];
        ++tailCharFreq_[code];
        ++posFreq_[cls];
        ++tailPosFreq_[cls];
        codes_.push_back(static_cast<uint16_t>(code));
        positions_.push_back(static_cast<uint16_t>(p));
        if (codes_.size() - tailStart_ == kStretchCodes)
            endStretch();
    }

    // Writes the pending codes as one block; nothing when none are pending.
    void flush();

    size_t pendingCodes() const { return codes_.size(); }
    // Input bytes covered by the blocks written so far.
    uint64_t bytesCoded() const { return bytesCoded_; }

    // Estimated bits per character/length symbol and per position class
    // (without its extra bits), from the codes of this block and the last.
    // Symbols not seen lately still get a finite, long code.
    void estimatePrices(uint8_t* charBits, uint8_t* positionClassBits) const;

    // Bit length of p: the position tree symbol for distance p + 1.
    static unsigned positionClass(unsigned p)
    {
        return p == 0 ? 0 : 32 - static_cast<unsigned>(__builtin_clz(p));
    }

private:
    static constexpr size_t kStretchCodes = 2048;

    void endStretch();
    bool separateTailIsCheaper() const;
    double estimatedBlockBits(const uint32_t* charFreq, const uint32_t* posFreq) const;
    // Writes the first `count` pending codes as a block (all of them, or
    // all but the newest stretch).
    void writeBlock(size_t count);
    void writePreTree(const uint8_t* lengths, unsigned count, bool withSkip, unsigned countBits);
    void writeUsablePreTree(const uint32_t* freq);
    void writeCharTree();
    void writePositionTree();
    void writeCodes(size_t count);
    void countPreTreeSymbols(uint32_t* freq) const;

    unsigned posCodes_;
    unsigned posBits_;
    BitWriter& out_;
    size_t tailStart_ = 0;  // first code of the newest stretch
    uint64_t bytesCoded_ = 0;

    std::vector<uint16_t> codes_;
    std::vector<uint16_t> positions_;
    uint32_t charFreq_[kCharCodes] = {};
    uint32_t posFreq_[17] = {};
    uint32_t tailCharFreq_[kCharCodes] = {};  // the newest stretch alone
    uint32_t tailPosFreq_[17] = {};
    uint32_t lastCharFreq_[kCharCodes] = {};
    uint32_t lastPosFreq_[17] = {};

    uint8_t charLen_[kCharCodes] = {};
    uint16_t charCode_[kCharCodes] = {};
    uint8_t preLen_[kPreCodes] = {};
    uint16_t preCode_[kPreCodes] = {};
    uint8_t posLen_[17] = {};
    uint16_t posCode_[17] = {};
    size_t charUsed_ = 0;
    size_t posUsed_ = 0;
};

}  // namespace kestrel::lzh
