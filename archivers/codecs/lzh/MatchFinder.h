// Sliding window with hash chains over 4-byte prefixes, plus a table of the
// latest position of each 3-byte prefix for the shortest matches.
//
// Chains over three bytes grow very long in text ("the", " a ") and most of
// their entries cannot beat a match already found; keying the chains on four
// bytes keeps them short, while three-byte matches only pay off when near,
// which the latest occurrence serves.
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
    // No room for more input until the position has moved on.
    bool full() const { return end_ == window_.size(); }
    uint8_t previousByte() const { return window_[pos_ - 1]; }
    // The current position; stays valid until the next append().
    const uint8_t* cursor() const { return window_.data() + pos_; }
    void advance() { ++pos_; }

    // Enters the current position into the tables when four bytes are there
    // (a shorter tail can never start a match that a later position needs).
    void insert()
    {
        if (lookahead() >= 4) {
            const uint8_t* p = window_.data() + pos_;
            head3_[hash3(p)] = static_cast<int32_t>(pos_);
            const uint32_t h = hash4(p);
            prev_[pos_ & dictMask_] = head_[h];
            head_[h] = static_cast<int32_t>(pos_);
        }
    }

    // Enters the current position and stores every match that is longer than
    // all nearer ones in `out`, by rising length; returns how many. Looks at
    // no more than maxChain candidates and stops at niceLength. `out` needs
    // room for kMaxMatch entries; needs lookahead() >= kMinMatch.
    // Only matches longer than `longerThan` count.
    size_t findAllAndInsert(unsigned maxChain, unsigned niceLength, Match* out,
                            unsigned longerThan = kMinMatch - 1);

private:
    static constexpr unsigned kHashBits = 16;
    static constexpr unsigned kHash3Bits = 14;
    static constexpr size_t kSlide = size_t{1} << 17;

    static uint32_t hash3(const uint8_t* p)
    {
        const uint32_t v = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
        return (v * 0x9E3779B1u) >> (32 - kHash3Bits);
    }

    static uint32_t hash4(const uint8_t* p)
    {
        uint32_t v;
        std::memcpy(&v, p, 4);
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
    std::vector<int32_t> head3_;  // newest position per 3-byte hash, -1 for none
    std::vector<int32_t> head_;   // newest position per 4-byte hash, -1 for none
    std::vector<int32_t> prev_;  // next older position with the same hash
    size_t pos_ = 0;
    size_t end_ = 0;
};

}  // namespace kestrel::lzh
