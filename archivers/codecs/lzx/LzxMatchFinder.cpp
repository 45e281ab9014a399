#include "LzxMatchFinder.h"

#include <algorithm>
#include <cstring>

LzxMatchFinder::LzxMatchFinder(int windowBits)
    : windowSize_(1u << windowBits),
      maxDistance_(windowSize_ - 3),
      hashBits_(windowBits < 17 ? 16 : windowBits < 19 ? 18 : 20),
      head_(size_t(1) << hashBits_, 0),
      head3_(size_t(1) << 14, 0),
      tree_(2 * size_t(windowSize_), 0)
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

uint32_t LzxMatchFinder::hash4(uint32_t pos) const
{
    uint32_t v;
    std::memcpy(&v, at(pos), 4);
    return (v * 2654435761u) >> (32 - hashBits_);
}

uint32_t LzxMatchFinder::hash3(uint32_t pos) const
{
    const uint8_t* p = at(pos);
    const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return (v * 506832829u) >> (32 - 14);
}

void LzxMatchFinder::insert(uint32_t pos)
{
    head3_[hash3(pos)] = pos;
    walkTree<false>(pos, std::min(nice_, end_ - pos), 0, nullptr);
}

// Descends the tree of pos's hash from its newest position, reporting ever
// longer matches, and re-roots the tree at pos: every position met becomes a
// left or right descendant of pos according to how its bytes compare. Bytes
// are only compared up to limit; a position equal that far is replaced by pos.
template <bool kReport>
int LzxMatchFinder::walkTree(uint32_t pos, uint32_t limit, uint32_t best, LzxMatch* out)
{
    const uint32_t mask = windowSize_ - 1;
    const uint32_t h = hash4(pos);
    uint32_t cand = head_[h];
    head_[h] = pos;
    uint32_t* left = &tree_[2 * (pos & mask)];
    uint32_t* right = left + 1;
    uint32_t leftLen = 0, rightLen = 0;
    const uint32_t lowest = pos - std::min(maxDistance_, pos - kOrigin);
    const uint8_t* cur = at(pos);
    int found = 0;
    for (int depth = depth_;; --depth) {
        if (cand < lowest || cand == 0 || depth == 0) {
            *left = *right = 0;
            return found;
        }
        const uint8_t* c = at(cand);
        uint32_t* pair = &tree_[2 * (cand & mask)];
        uint32_t len = std::min(leftLen, rightLen);
        // The walk is bound by memory latency: fetch both possible next
        // nodes while this one's bytes are compared.
        __builtin_prefetch(&tree_[2 * (pair[0] & mask)]);
        __builtin_prefetch(&tree_[2 * (pair[1] & mask)]);
        if (len < limit && c[len] == cur[len])
            len += commonLength(c + len + 1, cur + len + 1, limit - len - 1) + 1;
        if (kReport && len > best) {
            // Positions inserted near a frame end were ordered on fewer bytes
            // than the rest, so the prefix the walk assumes may be wrong:
            // measure reported matches in full.
            const uint32_t real = commonLength(c, cur, limit);
            if (real > best) {
                best = real;
                out[found++] = {real, pos - cand};
            }
        }
        if (len >= limit) {
            *left = pair[0];
            *right = pair[1];
            return found;
        }
        if (c[len] < cur[len]) {
            *left = cand;
            left = pair + 1;
            cand = *left;
            leftLen = len;
        } else {
            *right = cand;
            right = pair;
            cand = *right;
            rightLen = len;
        }
    }
}

void LzxMatchFinder::skipTo(uint32_t pos)
{
    // The last three bytes of a frame cannot be hashed until the next frame
    // arrives; they stay pending and are indexed then.
    const uint32_t limit = std::min(pos, end_ - 3);
    for (; next_ < limit; ++next_)
        insert(next_);
}

int LzxMatchFinder::find(uint32_t pos, uint32_t maxLength, LzxMatch* out)
{
    skipTo(pos);
    if (next_ != pos || maxLength < 3 || pos + 4 > end_)
        return 0;
    next_ = pos + 1;
    const uint32_t h3 = hash3(pos);
    const uint32_t near = head3_[h3];
    head3_[h3] = pos;

    const uint32_t lowest = pos - std::min(maxDistance_, pos - kOrigin);
    const uint32_t limit = std::min(nice_, maxLength);
    uint32_t best = 2;
    int found = 0;
    if (near >= lowest && near != 0) {
        const uint32_t len = commonLength(at(near), at(pos), limit);
        if (len >= 3) {
            best = len;
            out[found++] = {len, pos - near};
        }
    }
    found += walkTree<true>(pos, limit, best, out + found);
    // The tree compares only up to the nice length; extend the longest match
    // to its real length.
    if (found > 0 && out[found - 1].length == limit && limit < maxLength) {
        LzxMatch& m = out[found - 1];
        m.length = commonLength(at(pos), at(pos - m.distance), maxLength);
    }
    return found;
}
