#pragma once

#include "LzxBitWriter.h"
#include "LzxConstants.h"
#include "LzxItem.h"

#include <cstdint>
#include <vector>

// Writes one block per frame: verbatim or aligned-offset (header, trees coded
// against the lengths of the folder's previous Huffman block, which this
// writer remembers, then the items), or uncompressed when the frame does not
// shrink, as with data that is already packed.
class LzxBlockWriter {
public:
    explicit LzxBlockWriter(int windowBits);

    // items: the parsed frame; raw: the frame's bytes as the decoder's window
    // will hold them (after E8 translation); repeats: R0..R2 after the frame,
    // which an uncompressed block must restate. mayStore = false insists on
    // a Huffman block. Returns true when the frame was stored uncompressed.
    bool write(LzxBitWriter& out, const std::vector<LzxItem>& items, const uint8_t* raw,
               uint32_t blockSize, const uint32_t* repeats, bool mayStore = true);

    // Tree lengths of the last block written, used by the parser for costs.
    const uint8_t* mainLengths() const { return prevMain_; }
    const uint8_t* lengthLengths() const { return prevLength_; }
    // The aligned-offset tree of the last block, if it was an aligned block.
    const uint8_t* alignedLengths() const { return prevAligned_ ? fresh_.aligned : nullptr; }

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
    static void chooseAligned(const std::vector<LzxItem>& items, Trees& t);
    uint64_t cost(const std::vector<LzxItem>& items, const Trees& t, uint32_t blockSize) const;
    void writeHeader(LzxBitWriter& out, const Trees& t, uint32_t blockSize) const;
    void writeItems(LzxBitWriter& out, const std::vector<LzxItem>& items, const Trees& t) const;
    static void writeUncompressed(LzxBitWriter& out, const uint8_t* raw, uint32_t blockSize,
                                  const uint32_t* repeats);

    int numMain_;
    uint8_t prevMain_[lzx::kMaxMainSymbols] = {};
    uint8_t prevLength_[lzx::kNumLengthSymbols] = {};
    bool prevAligned_ = false;
    Trees fresh_;
    Codes codes_;
    mutable std::vector<uint8_t> scratch_; // dry runs of the header
};
