#include "MatchFinder.h"

#include <algorithm>

namespace kestrel::lzh {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "matchLength counts equal bytes from the low end of a loaded word");

MatchFinder::MatchFinder(unsigned dictBits)
    : dictSize_(size_t{1} << dictBits),
      dictMask_(dictSize_ - 1),
      // History, one slide step, and a full match of lookahead so the parser
      // can always see the longest possible match before a slide is due.
      window_(dictSize_ + kSlide + kMaxMatch + 1),
      head_(size_t{1} << kHashBits, -1),
      prev_(dictSize_, -1)
{
}

size_t MatchFinder::append(const uint8_t* data, size_t size)
{
    if (end_ == window_.size() && pos_ >= dictSize_ + kSlide)
        slide();
    const size_t n = std::min(size, window_.size() - end_);
    std::memcpy(window_.data() + end_, data, n);
    end_ += n;
    return n;
}

void MatchFinder::slide()
{
    std::memmove(window_.data(), window_.data() + kSlide, end_ - kSlide);
    pos_ -= kSlide;
    end_ -= kSlide;
    const auto rebase = [](int32_t& v) {
        v = v >= static_cast<int32_t>(kSlide) ? v - static_cast<int32_t>(kSlide) : -1;
    };
    std::for_each(head_.begin(), head_.end(), rebase);
    std::for_each(prev_.begin(), prev_.end(), rebase);
}

Match MatchFinder::findAndInsert(unsigned better, unsigned maxChain, unsigned niceLength)
{
    const uint32_t h = hash(pos_);
    int32_t candidate = head_[h];
    const int32_t cur = static_cast<int32_t>(pos_);
    head_[h] = cur;
    prev_[pos_ & dictMask_] = candidate;

    const unsigned maxLength = static_cast<unsigned>(std::min<size_t>(kMaxMatch, lookahead()));
    Match best{better, 0};
    if (best.length >= maxLength)
        return {};
    const uint8_t* here = window_.data() + pos_;
    // The oldest usable position; never before the first byte of the input,
    // which a -1 link already marks.
    const int32_t limit = cur - static_cast<int32_t>(dictSize_);
    while (candidate >= limit && candidate >= 0 && maxChain-- > 0) {
        const uint8_t* there = window_.data() + candidate;
        if (there[best.length] == here[best.length] && there[0] == here[0] && there[1] == here[1]) {
            const unsigned len = matchLength(there, here, maxLength);
            if (len > best.length) {
                best = {len, static_cast<unsigned>(cur - candidate)};
                if (len >= niceLength || len == maxLength)
                    break;
            }
        }
        // The slot of a position one dictionary back is reused by the newest
        // one, so a link that does not lead further back ends the chain.
        const int32_t next = prev_[static_cast<size_t>(candidate) & dictMask_];
        if (next >= candidate)
            break;
        candidate = next;
    }
    return best.distance ? best : Match{};
}

}  // namespace kestrel::lzh
