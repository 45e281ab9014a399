// Turns the input into literals and matches with one step of lazy evaluation:
// a match is only taken once the next position offers nothing longer.
#pragma once

#include "BlockEncoder.h"
#include "MatchFinder.h"

#include <cstddef>
#include <cstdint>

namespace kestrel::lzh {

class LazyParser {
public:
    LazyParser(unsigned dictBits, BlockEncoder& blocks);

    // Parses as far as the lookahead allows; the rest waits for more input.
    void feed(const uint8_t* data, size_t size);
    // Parses everything that is left.
    void finish();

private:
    struct Tuning {
        unsigned maxChain;   // candidates examined per search
        unsigned goodLength; // a pending match this long quarters the next search
        unsigned niceLength; // a match this long ends the search
        unsigned maxLazy;    // a pending match this long is taken without a look ahead
        unsigned tooFar;     // shortest matches farther than this cost more than literals
    };
    static Tuning tuningFor(unsigned dictBits);

    void parse(bool final);
    void emitPendingMatch();

    MatchFinder finder_;
    BlockEncoder& blocks_;
    Tuning tuning_;
    Match current_;
    Match pending_;
    bool literalPending_ = false;  // the byte before the position is not coded yet
};

}  // namespace kestrel::lzh
