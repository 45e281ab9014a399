#include "LazyParser.h"

#include <algorithm>

namespace kestrel::lzh {
namespace {

// Search effort, chosen on text and executables for all three windows.
constexpr unsigned kMaxChain = 128;    // candidates examined per search
constexpr unsigned kGoodLength = 32;   // a pending match this long quarters the next search
constexpr unsigned kNiceLength = 128;  // a match this long ends the search
constexpr unsigned kMaxLazy = 64;      // a pending match this long is taken without a look ahead
// A 3-byte match farther than this costs about as much as three literals.
constexpr unsigned kTooFar = 4096;
// Literals in a row after which searches thin out (see skipSearch).
constexpr uint64_t kSkipAfter = 256;
// Position classes a one-byte-longer match may lie beyond the pending one.
constexpr unsigned kDistanceSlack = 2;

}  // namespace

LazyParser::LazyParser(unsigned dictBits, BlockEncoder& blocks) : finder_(dictBits), blocks_(blocks) {}

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

Match LazyParser::longestMatch(unsigned longerThan, unsigned maxChain)
{
    const size_t n = finder_.findAllAndInsert(maxChain, kNiceLength, found_,
                                              std::max(longerThan, MatchFinder::kMinMatch - 1));
    return n > 0 ? found_[n - 1] : Match{};
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
            if (pending_.length == 0 && skipSearch()) {
                finder_.insert();
            } else if (pending_.length < kMaxLazy) {
                current_ = longestMatch(pending_.length, pending_.length >= kGoodLength ? kMaxChain / 4 : kMaxChain);
                if (current_.length == MatchFinder::kMinMatch && current_.distance > kTooFar)
                    current_ = {};
            } else {
                finder_.insert();
            }
        }
        if (pending_.length >= MatchFinder::kMinMatch && !worthWaiting()) {
            emitPendingMatch();
        } else if (literalPending_) {
            blocks_.literal(finder_.previousByte());
            ++literalRun_;
            finder_.advance();
        } else {
            literalPending_ = true;
            finder_.advance();
        }
    }
}

// In a long stretch without matches (packed or random data) most searches
// are wasted: after kSkipAfter literals only every second position is
// searched, later every fourth. All positions still enter the tables, so a
// match found again is followed as usual and ends the skipping.
bool LazyParser::skipSearch() const
{
    if (literalRun_ < kSkipAfter)
        return false;
    const uint64_t step = literalRun_ < 4 * kSkipAfter ? 2 : 4;
    return literalRun_ % step != 0;
}

// A longer match at the next position is only worth a literal when it is
// not much farther away: one more byte of length does not pay for several
// more bits of distance.
bool LazyParser::worthWaiting() const
{
    if (current_.length <= pending_.length)
        return false;
    if (current_.length > pending_.length + 1)
        return true;
    const unsigned nearer = BlockEncoder::positionClass(pending_.distance - 1);
    const unsigned farther = BlockEncoder::positionClass(current_.distance - 1);
    return farther <= nearer + kDistanceSlack;
}

// The pending match started one byte back; the current position is already
// in the chains, the rest of the match is entered without searching.
void LazyParser::emitPendingMatch()
{
    blocks_.match(pending_.length, pending_.distance);
    literalRun_ = 0;
    finder_.advance();
    for (unsigned k = 2; k < pending_.length; ++k) {
        finder_.insert();
        finder_.advance();
    }
    literalPending_ = false;
    current_ = {};
}

}  // namespace kestrel::lzh
