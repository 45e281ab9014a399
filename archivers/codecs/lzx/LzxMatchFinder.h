#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

struct LzxMatch {
    uint32_t length;
    uint32_t distance;
};

// The folder's history window and a binary-tree index over it: one tree per
// 4-byte hash, each ordering its positions by the bytes that follow them, so
// a search walks straight to the longest matches; a small table remembers the
// latest position of each 3-byte hash for short, near matches. Positions are
// stream positions shifted by kOrigin, so that 0 never names real data and
// ends every chain. Memory is bounded by the window: the buffer keeps at most
// twice the window, sliding forward as frames arrive.
class LzxMatchFinder {
public:
    static constexpr uint32_t kOrigin = 1u << 22;
    static constexpr int kMaxMatches = 258;

    explicit LzxMatchFinder(int windowBits);

    // Adds the next frame to the history; returns where it now lies, so that
    // it can be filtered in place before any matching.
    uint8_t* append(const uint8_t* data, size_t size);

    uint32_t end() const { return end_; }
    const uint8_t* at(uint32_t pos) const { return buf_.data() + (pos - base_); }
    uint32_t maxDistance() const { return maxDistance_; }

    void setEffort(int depth, uint32_t niceLength)
    {
        depth_ = depth;
        nice_ = niceLength;
    }

    // Indexes every position before pos that is not yet indexed.
    void skipTo(uint32_t pos);

    // Finds matches of length >= 3 at pos, each longer than the one before,
    // and indexes pos. Returns how many were stored in out (at most
    // kMaxMatches).
    int find(uint32_t pos, uint32_t maxLength, LzxMatch* out);

    // Length of the match at pos against the given distance (0 if the
    // distance reaches before the start of the stream).
    uint32_t matchLength(uint32_t pos, uint32_t distance, uint32_t maxLength) const
    {
        if (distance > pos - kOrigin || distance > maxDistance_)
            return 0;
        const uint8_t* p = at(pos);
        if (p[0] != p[-int64_t(distance)])
            return 0; // the usual case, decided without a call
        return commonLength(p, p - distance, maxLength);
    }

    // Inlined: it runs for nearly every candidate the finder looks at.
    static inline uint32_t commonLength(const uint8_t* a, const uint8_t* b, uint32_t maxLength)
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

private:
    uint32_t hash4(uint32_t pos) const;
    uint32_t hash3(uint32_t pos) const;
    void insert(uint32_t pos);
    template <bool kReport>
    int walkTree(uint32_t pos, uint32_t limit, uint32_t best, LzxMatch* out);

    uint32_t windowSize_;
    uint32_t maxDistance_;
    uint32_t hashBits_;
    std::vector<uint8_t> buf_;
    std::vector<uint32_t> head_;
    std::vector<uint32_t> head3_;
    std::vector<uint32_t> tree_; // two children per window slot
    uint32_t base_ = kOrigin; // stream position of buf_[0]
    uint32_t end_ = kOrigin;  // one past the last byte appended
    uint32_t next_ = kOrigin; // first position not yet indexed
    int depth_ = 32;
    uint32_t nice_ = 64;
};
