#include "LazyParser.h"

namespace kestrel::lzh {

LazyParser::Tuning LazyParser::tuningFor(unsigned dictBits)
{
    switch (dictBits) {
    case 13:
        return {128, 32, 128, 64, 4096};
    case 15:
        return {128, 32, 128, 64, 4096};
    default:
        return {128, 32, 128, 64, 4096};
    }
}

LazyParser::LazyParser(unsigned dictBits, BlockEncoder& blocks)
    : finder_(dictBits), blocks_(blocks), tuning_(tuningFor(dictBits))
{
}

void LazyParser::feed(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const size_t taken = finder_.append(data, size);
        data += taken;
        size -= taken;
        parse(false);
    }
}

void LazyParser::finish()
{
    parse(true);
    if (literalPending_) {
        blocks_.literal(finder_.previousByte());
        literalPending_ = false;
    }
}

void LazyParser::parse(bool final)
{
    for (;;) {
        const size_t lookahead = finder_.lookahead();
        // Until the input ends, keep room for a longest match ahead.
        if (lookahead == 0 || (!final && lookahead <= MatchFinder::kMaxMatch))
            return;
        pending_ = current_;
        current_ = {};
        if (lookahead >= MatchFinder::kMinMatch) {
            if (pending_.length < tuning_.maxLazy) {
                const unsigned chain =
                    pending_.length >= tuning_.goodLength ? tuning_.maxChain / 4 : tuning_.maxChain;
                current_ = finder_.findAndInsert(pending_.length, chain, tuning_.niceLength);
                if (current_.length == MatchFinder::kMinMatch && current_.distance > tuning_.tooFar)
                    current_ = {};
            } else {
                finder_.insert();
            }
        }
        if (pending_.length >= MatchFinder::kMinMatch && current_.length <= pending_.length) {
            emitPendingMatch();
        } else if (literalPending_) {
            blocks_.literal(finder_.previousByte());
            finder_.advance();
        } else {
            literalPending_ = true;
            finder_.advance();
        }
    }
}

// The pending match started one byte back; the current position is already
// in the chains, the rest of the match is entered without searching.
void LazyParser::emitPendingMatch()
{
    blocks_.match(pending_.length, pending_.distance);
    finder_.advance();
    for (unsigned k = 2; k < pending_.length; ++k) {
        finder_.insert();
        finder_.advance();
    }
    literalPending_ = false;
    current_ = {};
}

}  // namespace kestrel::lzh
