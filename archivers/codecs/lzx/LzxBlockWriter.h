#pragma once

#include "LzxBitWriter.h"
#include "LzxConstants.h"
#include "LzxItem.h"

#include <cstdint>
#include <vector>

// Writes verbatim or aligned-offset blocks: header, trees (coded against the
// lengths of the folder's previous block, which this writer remembers) and
// the items themselves. The cheaper of the two block types is chosen.
class LzxBlockWriter {
public:
    explicit LzxBlockWriter(int windowBits);

    void write(LzxBitWriter& out, const std::vector<LzxItem>& items, uint32_t blockSize);

    // Tree lengths of the last block written, used by the parser for costs.
    const uint8_t* mainLengths() const { return prevMain_; }
    const uint8_t* lengthLengths() const { return prevLength_; }
    int numMainSymbols() const { return numMain_; }

private:
    void writeItems(LzxBitWriter& out, const std::vector<LzxItem>& items, bool aligned) const;

    int numMain_;
    uint8_t prevMain_[lzx::kMaxMainSymbols] = {};
    uint8_t prevLength_[lzx::kNumLengthSymbols] = {};
    uint8_t mainLen_[lzx::kMaxMainSymbols] = {};
    uint8_t lengthLen_[lzx::kNumLengthSymbols] = {};
    uint8_t alignedLen_[lzx::kNumAlignedSymbols] = {};
    uint16_t mainCode_[lzx::kMaxMainSymbols] = {};
    uint16_t lengthCode_[lzx::kNumLengthSymbols] = {};
    uint16_t alignedCode_[lzx::kNumAlignedSymbols] = {};
};
