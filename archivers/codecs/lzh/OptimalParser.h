// Chooses literals and matches by cost: over a stretch of input it finds the
// cheapest sequence of codes, pricing each code by the Huffman lengths that
// recent blocks would give it. Much of the gain over a greedy or lazy choice
// comes from taking a shorter match (or a literal) when that lets a longer,
// nearer or cheaper match follow.
#pragma once

#include "BlockEncoder.h"
#include "MatchFinder.h"
#include "Parser.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::lzh {

class OptimalParser : public Parser {
public:
    OptimalParser(unsigned dictBits, BlockEncoder& blocks);

    void feed(const uint8_t* data, size_t size) override;
    void finish() override;

private:
    // How the cheapest way to reach a position ends: a literal (length 1) or a match.
    struct Step {
        uint32_t cost;
        uint16_t length;
        uint32_t distance;
    };

    void parse(bool final);
    // Parses up to `span` positions; returns early after a long match.
    void parseSegment(size_t span);
    void relax(size_t at, const Match* matches, size_t count, size_t span);
    void emitPath(const uint8_t* base, size_t end);
    void takeLongMatch(const Match& match);
    void refreshPrices();
    uint32_t distancePrice(unsigned distance) const;

    MatchFinder finder_;
    BlockEncoder& blocks_;
    std::vector<Step> steps_;
    std::vector<Step> path_;
    Match matches_[MatchFinder::kMaxMatch];
    uint8_t charBits_[BlockEncoder::kCharCodes] = {};
    uint8_t classBits_[17] = {};
    size_t pricedAt_ = 0;  // codes pending in the block when the prices were taken
};

}  // namespace kestrel::lzh
