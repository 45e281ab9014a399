#pragma once

#include "LzxBitWriter.h"
#include "LzxConstants.h"
#include "LzxItem.h"

#include <cstdint>
#include <vector>

// Writes verbatim or aligned-offset blocks: header, trees (coded against the
// lengths of the folder's previous block, which this writer remembers) and
// the items themselves. Every block covers one frame, so the trees are a
// large share of the output; the writer therefore weighs fresh trees against
// repeating the previous block's trees, which cost about a bit per symbol.
class LzxBlockWriter {
public:
    explicit LzxBlockWriter(int windowBits);

    // items: the frame parsed for its own trees. reuse (optional): the frame
    // parsed under the previous block's costs, written with that block's
    // trees if that comes out smaller. Returns true when reuse was written.
    bool write(LzxBitWriter& out, const std::vector<LzxItem>& items, const std::vector<LzxItem>* reuse,
               uint32_t blockSize);

    // Tree lengths of the last block written, used by the parser for costs.
    const uint8_t* mainLengths() const { return prevMain_; }
    const uint8_t* lengthLengths() const { return prevLength_; }

private:
    struct Trees {
        uint8_t main[lzx::kMaxMainSymbols];
        uint8_t length[lzx::kNumLengthSymbols];
        uint8_t aligned[lzx::kNumAlignedSymbols];
        bool useAligned;
    };
    struct Codes {
        uint16_t main[lzx::kMaxMainSymbols];
        uint16_t length[lzx::kNumLengthSymbols];
        uint16_t aligned[lzx::kNumAlignedSymbols];
    };

    void buildFreshTrees(const std::vector<LzxItem>& items, Trees& t) const;
    bool previousTreesFit(const std::vector<LzxItem>& items, Trees& t) const;
    static void chooseAligned(const std::vector<LzxItem>& items, Trees& t);
    uint64_t cost(const std::vector<LzxItem>& items, const Trees& t, uint32_t blockSize) const;
    void writeHeader(LzxBitWriter& out, const Trees& t, uint32_t blockSize) const;
    void writeItems(LzxBitWriter& out, const std::vector<LzxItem>& items, const Trees& t) const;

    int numMain_;
    uint8_t prevMain_[lzx::kMaxMainSymbols] = {};
    uint8_t prevLength_[lzx::kNumLengthSymbols] = {};
    Trees fresh_;
    Trees repeat_;
    Codes codes_;
    mutable std::vector<uint8_t> scratch_; // dry runs of the header
};
