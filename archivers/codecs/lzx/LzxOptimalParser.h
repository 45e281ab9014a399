#pragma once

#include "LzxConstants.h"
#include "LzxItem.h"
#include "LzxMatchFinder.h"

#include <cstdint>
#include <vector>

// Near-optimal parsing of one frame: every position's matches are found once,
// then a shortest-path search over the frame picks literals, repeated-offset
// matches and explicit matches by their cost in bits under the Huffman codes
// expected for the block. Costs come from the previous block's trees; the
// repeated offsets at each position are those of the cheapest way there.
// With more than one pass (always for a folder's first frame, whose costs
// are guesses), each pass re-prices symbols by the previous pass's result.
class LzxOptimalParser {
public:
    LzxOptimalParser(LzxMatchFinder& finder, uint32_t* repeats, int numMainSymbols);

    void setEffort(int passes, uint32_t niceLength)
    {
        passes_ = passes;
        nice_ = niceLength;
    }

    // Seeds the costs with the tree lengths of the block before (all zero at
    // the start of a folder, which selects neutral guesses). alignedLengths:
    // that block's aligned-offset tree, or null if it had none.
    void seedCosts(const uint8_t* mainLengths, const uint8_t* lengthLengths,
                   const uint8_t* alignedLengths);

    // Parses [start, end) of the history into items, updating the repeats.
    void parse(uint32_t start, uint32_t end, std::vector<LzxItem>& items);

private:
    struct Node {
        uint32_t cost;
        uint32_t offsetCode; // as LzxItem::match; unused for literals
        uint16_t length;     // 0 = reached by a literal
        uint32_t reps[lzx::kNumRepeats];
    };

    void findAllMatches(uint32_t start, uint32_t end);
    void shortestPath(uint32_t start, uint32_t end);
    void collect(std::vector<LzxItem>& items, uint32_t start, uint32_t n) const;
    void costsFromItems(const std::vector<LzxItem>& items);
    void relax(uint32_t to, uint32_t cost, uint16_t length, uint32_t offsetCode);

    LzxMatchFinder& finder_;
    uint32_t* reps_;
    int numMain_;
    int passes_ = 2;
    bool haveSeed_ = false;
    uint32_t nice_ = 96;
    uint32_t mainCost_[lzx::kMaxMainSymbols];
    uint32_t lengthCost_[lzx::kMaxMatch + 1]; // by match length: length-tree part
    uint32_t alignedCost_[lzx::kNumAlignedSymbols];
    std::vector<Node> nodes_;
    std::vector<LzxItem> trial_;
    std::vector<LzxMatch> matches_;
    std::vector<uint32_t> firstMatch_; // per position, index into matches_
    LzxMatch scratch_[LzxMatchFinder::kMaxMatches];
};
