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
      head3_(size_t{1} << kHash3Bits, -1),
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
    std::for_each(head3_.begin(), head3_.end(), rebase);
    std::for_each(head_.begin(), head_.end(), rebase);
    std::for_each(prev_.begin(), prev_.end(), rebase);
}

size_t MatchFinder::findAllAndInsert(unsigned maxChain, unsigned niceLength, Match* out,
                                     unsigned longerThan)
{
    const unsigned maxLength = static_cast<unsigned>(std::min<size_t>(kMaxMatch, lookahead()));
    const uint8_t* here = window_.data() + pos_;
    const int32_t cur = static_cast<int32_t>(pos_);
    // The oldest usable position; never before the first byte of the input,
    // which a -1 entry already marks.
    const int32_t limit = std::max(cur - static_cast<int32_t>(dictSize_), 0);
    unsigned best = longerThan;
    size_t found = 0;
    if (maxLength < 4) {
        // The last bytes of the input are not in the tables; a plain scan of
        // the few recent positions is enough for them.
        for (int32_t c = cur - 1; c >= limit && c >= cur - 64; --c) {
            const unsigned len = matchLength(window_.data() + c, here, maxLength);
            if (len > best) {
                best = len;
                out[found++] = {len, static_cast<unsigned>(cur - c)};
            }
        }
        return found;
    }

    const uint32_t h3 = hash3(here);
    const int32_t near = head3_[h3];
    head3_[h3] = cur;
    const uint32_t h = hash4(here);
    int32_t candidate = head_[h];
    head_[h] = cur;
    prev_[pos_ & dictMask_] = candidate;
    if (best >= maxLength)
        return 0;

    if (near >= limit && best < kMinMatch) {
        const unsigned len = matchLength(window_.data() + near, here, maxLength);
        if (len > best) {
            best = len;
            out[found++] = {len, static_cast<unsigned>(cur - near)};
        }
    }

    if (best >= niceLength || best == maxLength)
        return found;
    while (candidate >= limit && maxChain-- > 0) {
        const uint8_t* there = window_.data() + candidate;
        if (there[best] == here[best] && std::memcmp(there, here, 4) == 0) {
            const unsigned len = matchLength(there, here, maxLength);
            if (len > best) {
                best = len;
                out[found++] = {len, static_cast<unsigned>(cur - candidate)};
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
    return found;
}

}  // namespace kestrel::lzh
