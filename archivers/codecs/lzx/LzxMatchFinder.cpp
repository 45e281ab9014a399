#include "LzxMatchFinder.h"

#include <algorithm>
#include <cstring>

LzxMatchFinder::LzxMatchFinder(int windowBits)
    : windowSize_(1u << windowBits),
      maxDistance_(windowSize_ - 3),
      hashBits_(windowBits < 17 ? 16 : 17),
      head_(size_t(1) << hashBits_, 0),
      prev_(windowSize_, 0)
{
    // Room for a full window of history plus the frame being coded.
    buf_.reserve(2 * size_t(windowSize_));
}

uint8_t* LzxMatchFinder::append(const uint8_t* data, size_t size)
{
    const size_t used = end_ - base_;
    if (used + size > 2 * size_t(windowSize_)) {
        // Keep exactly one window of history in front of the new frame.
        const size_t drop = used - windowSize_;
        std::memmove(buf_.data(), buf_.data() + drop, windowSize_);
        buf_.resize(windowSize_);
        base_ += uint32_t(drop);
    }
    const size_t offset = buf_.size();
    buf_.insert(buf_.end(), data, data + size);
    end_ += uint32_t(size);
    return buf_.data() + offset;
}

uint32_t LzxMatchFinder::hashAt(uint32_t pos) const
{
    const uint8_t* p = at(pos);
    const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return (v * 2654435761u) >> (32 - hashBits_);
}

void LzxMatchFinder::insert(uint32_t pos)
{
    const uint32_t h = hashAt(pos);
    prev_[pos & (windowSize_ - 1)] = head_[h];
    head_[h] = pos;
}

void LzxMatchFinder::skipTo(uint32_t pos)
{
    // The last two bytes of a frame cannot be hashed until the next frame
    // arrives; they stay pending and are indexed then.
    const uint32_t limit = std::min(pos, end_ >= 2 ? end_ - 2 : 0);
    for (; next_ < limit; ++next_)
        insert(next_);
}

uint32_t LzxMatchFinder::commonLength(const uint8_t* a, const uint8_t* b, uint32_t maxLength)
{
    uint32_t len = 0;
    while (len + 8 <= maxLength) {
        uint64_t x, y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y)
            return len + uint32_t(__builtin_ctzll(x ^ y) >> 3);
        len += 8;
    }
    while (len < maxLength && a[len] == b[len])
        ++len;
    return len;
}

uint32_t LzxMatchFinder::matchLength(uint32_t pos, uint32_t distance, uint32_t maxLength) const
{
    if (distance > pos - kOrigin || distance > maxDistance_)
        return 0;
    return commonLength(at(pos), at(pos - distance), maxLength);
}

int LzxMatchFinder::find(uint32_t pos, uint32_t maxLength, LzxMatch* out)
{
    skipTo(pos);
    if (next_ != pos || maxLength < 3 || pos + 3 > end_)
        return 0;
    const uint32_t h = hashAt(pos);
    uint32_t cand = head_[h];
    prev_[pos & (windowSize_ - 1)] = cand;
    head_[h] = pos;
    next_ = pos + 1;

    const uint32_t lowest = pos - std::min(maxDistance_, pos - kOrigin);
    const uint8_t* cur = at(pos);
    uint32_t best = 2;
    int found = 0;
    const uint32_t nice = std::min(nice_, maxLength);
    for (int depth = depth_; depth > 0 && cand >= lowest && cand != 0; --depth) {
        const uint8_t* c = at(cand);
        if (c[best] == cur[best] && c[0] == cur[0] && c[1] == cur[1]) {
            const uint32_t len = commonLength(c, cur, maxLength);
            if (len > best) {
                best = len;
                out[found++] = {len, pos - cand};
                if (len >= nice)
                    break;
            }
        }
        cand = prev_[cand & (windowSize_ - 1)];
    }
    return found;
}
