// Sliding window with hash chains over 3-byte prefixes.
//
// The buffer keeps one dictionary of history behind the current position and
// slides by a fixed step that is a multiple of every dictionary size, so the
// chain links (indexed by position modulo the dictionary) stay valid across a
// slide and the hash heads are rebased only once per step, not per dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kestrel::lzh {

struct Match {
    unsigned length = 0;  // 0: none
    unsigned distance = 0;
};

class MatchFinder {
public:
    static constexpr unsigned kMinMatch = 3;
    static constexpr unsigned kMaxMatch = 256;

    explicit MatchFinder(unsigned dictBits);

    // Copies as much of the input as fits and returns how much that was.
    size_t append(const uint8_t* data, size_t size);

    // Bytes from the current position to the end of the data received so far.
    size_t lookahead() const { return end_ - pos_; }
    uint8_t previousByte() const { return window_[pos_ - 1]; }
    void advance() { ++pos_; }

    // Enters the current position into the chains when three bytes are there.
    void insert()
    {
        if (lookahead() >= kMinMatch) {
            const uint32_t h = hash(pos_);
            prev_[pos_ & dictMask_] = head_[h];
            head_[h] = static_cast<int32_t>(pos_);
        }
    }

    // Enters the current position and returns the longest earlier match that
    // is longer than `better` (length 0 when there is none), looking at no
    // more than maxChain candidates and stopping early at niceLength.
    // Needs lookahead() >= kMinMatch.
    Match findAndInsert(unsigned better, unsigned maxChain, unsigned niceLength);

private:
    static constexpr unsigned kHashBits = 16;
    static constexpr size_t kSlide = size_t{1} << 17;

    uint32_t hash(size_t at) const
    {
        const uint8_t* p = window_.data() + at;
        const uint32_t v = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
        return (v * 0x9E3779B1u) >> (32 - kHashBits);
    }

    static unsigned matchLength(const uint8_t* a, const uint8_t* b, unsigned limit)
    {
        unsigned len = 0;
        while (len + 8 <= limit) {
            uint64_t x, y;
            std::memcpy(&x, a + len, 8);
            std::memcpy(&y, b + len, 8);
            if (x != y)
                return len + static_cast<unsigned>(__builtin_ctzll(x ^ y)) / 8;
            len += 8;
        }
        while (len < limit && a[len] == b[len])
            ++len;
        return len;
    }

    void slide();

    size_t dictSize_;
    size_t dictMask_;
    std::vector<uint8_t> window_;
    std::vector<int32_t> head_;  // newest position per hash, -1 for none
    std::vector<int32_t> prev_;  // next older position with the same hash
    size_t pos_ = 0;
    size_t end_ = 0;
};

}  // namespace kestrel::lzh
