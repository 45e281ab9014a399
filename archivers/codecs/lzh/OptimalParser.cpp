#include "OptimalParser.h"

#include <algorithm>

namespace kestrel::lzh {
namespace {

// Positions priced together; long enough that the cut between two stretches
// rarely matters, short enough to keep the tables in cache.
constexpr size_t kSegment = 4096;
constexpr uint32_t kUnreached = UINT32_MAX;

// Search effort for the thorough mode, chosen on text and executables: a
// shallow search wastes the pricing (repetitive text then comes out larger
// than with lazy matching), and going deeper than this gains little more.
constexpr unsigned kMaxChain = 128;    // candidates examined per position
constexpr unsigned kNiceLength = 128;  // a match this long is taken at once
constexpr unsigned kSearchAbove = 16;  // inside a longer match, only a brief search
constexpr unsigned kInnerChain = 8;    // candidates examined in that brief search
constexpr unsigned kRelaxAll = 32;     // every length of a match priced up to this

}  // namespace

OptimalParser::OptimalParser(unsigned dictBits, BlockEncoder& blocks)
    : finder_(dictBits), blocks_(blocks), steps_(kSegment + 1)
{
    path_.reserve(kSegment);
    refreshPrices();
}

void OptimalParser::feed(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const size_t taken = finder_.append(data, size);
        data += taken;
        size -= taken;
        parse(false);
    }
}

void OptimalParser::finish()
{
    parse(true);
}

void OptimalParser::parse(bool final)
{
    for (;;) {
        const size_t lookahead = finder_.lookahead();
        // Until the input ends, every searched position keeps a longest match ahead.
        const size_t usable = final ? lookahead : lookahead > MatchFinder::kMaxMatch
                                                      ? lookahead - MatchFinder::kMaxMatch
                                                      : 0;
        // Stretches start and end at the same places however the input is
        // chunked: a short one only at the very end or when the window must
        // slide before it can take more.
        if (usable == 0 || (usable < kSegment && !final && !finder_.full()))
            return;
        parseSegment(std::min(usable, kSegment));
    }
}

void OptimalParser::refreshPrices()
{
    blocks_.estimatePrices(charBits_, classBits_);
    pricedAt_ = blocks_.pendingCodes();
}

uint32_t OptimalParser::distancePrice(unsigned distance) const
{
    const unsigned cls = BlockEncoder::positionClass(distance - 1);
    return classBits_[cls] + (cls >= 2 ? cls - 1 : 0);
}

void OptimalParser::parseSegment(size_t span)
{
    const size_t pending = blocks_.pendingCodes();
    if (pending < pricedAt_ || pending - pricedAt_ >= 1024)
        refreshPrices();

    const uint8_t* base = finder_.cursor();
    steps_[0] = {0, 0, 0};
    for (size_t i = 1; i <= span; ++i)
        steps_[i].cost = kUnreached;

    Match carried;  // the longest match found lately, followed along
    for (size_t i = 0; i < span; ++i) {
        size_t count = 0;
        if (carried.length > kSearchAbove) {
            // Inside a long match the same match one byte further on is
            // nearly always the best short choice, so the search only looks
            // (briefly) for something longer.
            --carried.length;
            matches_[0] = carried;
            count = 1 + finder_.findAllAndInsert(kInnerChain, kNiceLength, matches_ + 1, carried.length);
            carried = matches_[count - 1];
        } else if (finder_.lookahead() >= MatchFinder::kMinMatch) {
            count = finder_.findAllAndInsert(kMaxChain, kNiceLength, matches_);
            carried = count > 0 ? matches_[count - 1] : Match{};
        }
        if (count > 0 && matches_[count - 1].length >= kNiceLength) {
            // A match this long is almost surely right; code what leads up to
            // it and take it whole, which keeps long runs cheap to parse.
            emitPath(base, i);
            takeLongMatch(matches_[count - 1]);
            return;
        }
        relax(i, matches_, count, span);
        finder_.advance();
    }
    emitPath(base, span);
}

void OptimalParser::relax(size_t at, const Match* matches, size_t count, size_t span)
{
    const uint32_t here = steps_[at].cost;
    const uint32_t literal = here + charBits_[finder_.cursor()[0]];
    if (literal < steps_[at + 1].cost)
        steps_[at + 1] = {literal, 1, 0};

    unsigned length = MatchFinder::kMinMatch;
    for (size_t k = 0; k < count; ++k) {
        const unsigned distance = matches[k].distance;
        const uint32_t start = here + distancePrice(distance);
        // Every shorter length is available at the same distance.
        const unsigned last = static_cast<unsigned>(std::min<size_t>(matches[k].length, span - at));
        // Every length up to a point, then only the whole match: cutting a
        // long match at an arbitrary place seldom pays, and the positions
        // inside it are reached by the same match from later starts.
        const unsigned allUpTo = std::min(last, kRelaxAll);
        for (; length <= allUpTo; ++length) {
            const uint32_t cost = start + charBits_[length - MatchFinder::kMinMatch + 256];
            Step& to = steps_[at + length];
            if (cost < to.cost)
                to = {cost, static_cast<uint16_t>(length), distance};
        }
        if (length <= last) {
            const uint32_t cost = start + charBits_[last - MatchFinder::kMinMatch + 256];
            Step& to = steps_[at + last];
            if (cost < to.cost)
                to = {cost, static_cast<uint16_t>(last), distance};
            length = last + 1;
        }
    }
}

void OptimalParser::emitPath(const uint8_t* base, size_t end)
{
    path_.clear();
    for (size_t at = end; at > 0; at -= steps_[at].length)
        path_.push_back(steps_[at]);
    size_t at = 0;
    for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
        if (it->length == 1)
            blocks_.literal(base[at]);
        else
            blocks_.match(it->length, it->distance);
        at += it->length;
    }
}

// The first position of the match is in the chains already; the rest are
// entered without searching.
void OptimalParser::takeLongMatch(const Match& match)
{
    blocks_.match(match.length, match.distance);
    finder_.advance();
    for (unsigned k = 1; k < match.length; ++k) {
        finder_.insert();
        finder_.advance();
    }
}

}  // namespace kestrel::lzh
