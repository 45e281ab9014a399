#pragma once

#include "LzxItem.h"
#include "LzxMatchFinder.h"

#include <cstdint>
#include <vector>

// Greedy parsing with one step of lookahead: a match is deferred by a literal
// when the next position offers a clearly better one. The cheap repeated
// offsets are always tried first. Fast, and a fallback for the optimal parser.
class LzxLazyParser {
public:
    LzxLazyParser(LzxMatchFinder& finder, uint32_t* repeats) : finder_(finder), reps_(repeats) {}

    // Parses [start, end) of the history into items, updating the repeats.
    void parse(uint32_t start, uint32_t end, std::vector<LzxItem>& items);

private:
    struct Choice {
        uint32_t length = 0;
        uint32_t offsetCode = 0; // 0..2 repeat index, else distance + 2
        int gain = 0;
    };

    Choice best(uint32_t pos, uint32_t end);
    void commit(const Choice& c, std::vector<LzxItem>& items);

    LzxMatchFinder& finder_;
    uint32_t* reps_;
    LzxMatch matches_[lzx::kMaxMatch + 1];
};
