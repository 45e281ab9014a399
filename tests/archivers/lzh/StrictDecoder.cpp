#include "StrictDecoder.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace kestrel::lzh::test {
namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class BitReader {
public:
    explicit BitReader(const Bytes& in) : in_(in) {}

    unsigned get(unsigned count)
    {
        unsigned v = 0;
        for (unsigned k = 0; k < count; ++k) {
            if (bit_ >= in_.size() * 8)
                throw Failure("read past the end of the stream");
            v = (v << 1) | ((in_[bit_ / 8] >> (7 - bit_ % 8)) & 1);
            ++bit_;
        }
        return v;
    }

    size_t bitsLeft() const { return in_.size() * 8 - bit_; }

private:
    const Bytes& in_;
    size_t bit_ = 0;
};

// Canonical Huffman table; a single symbol means zero-bit codes.
class Tree {
public:
    void setSingle(unsigned symbol, unsigned alphabet)
    {
        if (symbol >= alphabet)
            throw Failure("single symbol outside the alphabet");
        single_ = static_cast<int>(symbol);
        lengths_.clear();
    }

    void setLengths(std::vector<unsigned> lengths)
    {
        single_ = -1;
        uint64_t kraft = 0;
        for (unsigned len : lengths) {
            if (len > 16)
                throw Failure("code length over 16");
            if (len)
                kraft += uint64_t{1} << (16 - len);
        }
        if (kraft != (uint64_t{1} << 16))
            throw Failure("tree is not a complete prefix code");
        lengths_ = std::move(lengths);
        sorted_.clear();
        unsigned code = 0;
        for (unsigned len = 1; len <= 16; ++len) {
            offset_[len] = static_cast<unsigned>(sorted_.size());
            first_[len] = code;
            for (size_t s = 0; s < lengths_.size(); ++s)
                if (lengths_[s] == len)
                    sorted_.push_back(static_cast<unsigned>(s));
            count_[len] = static_cast<unsigned>(sorted_.size()) - offset_[len];
            code = (code + count_[len]) << 1;
        }
    }

    unsigned read(BitReader& in) const
    {
        if (single_ >= 0)
            return static_cast<unsigned>(single_);
        // Canonical codes of one length are consecutive, so a code is found
        // from its offset to the first code of that length.
        unsigned code = 0;
        for (unsigned len = 1; len <= 16; ++len) {
            code = (code << 1) | in.get(1);
            if (code - first_[len] < count_[len])
                return sorted_[offset_[len] + code - first_[len]];
        }
        throw Failure("no code matched");
    }

private:
    int single_ = -1;
    std::vector<unsigned> lengths_;
    std::vector<unsigned> sorted_;
    unsigned first_[17] = {}, count_[17] = {}, offset_[17] = {};
};

unsigned readLength(BitReader& in)
{
    unsigned len = in.get(3);
    if (len == 7)
        while (in.get(1))
            if (++len > 16)
                throw Failure("unary length over 16");
    return len;
}

void readSmallTree(BitReader& in, Tree& tree, unsigned alphabet, unsigned countBits, bool withSkip)
{
    const unsigned n = in.get(countBits);
    if (withSkip && n < 3)
        throw Failure("pre-tree with fewer than three lengths (bsdtar refuses it)");
    if (n == 0) {
        tree.setSingle(in.get(countBits), alphabet);
        return;
    }
    if (n > alphabet)
        throw Failure("tree count beyond the alphabet");
    std::vector<unsigned> lengths(alphabet, 0);
    for (unsigned i = 0; i < n;) {
        lengths[i++] = readLength(in);
        if (withSkip && i == 3) {
            const unsigned skip = in.get(2);
            if (3 + skip > n)
                throw Failure("skip count past the transmitted lengths");
            i += skip;
        }
    }
    tree.setLengths(lengths);
}

// Returns whether the tree took its single-symbol form.
bool readCharTree(BitReader& in, const Tree& pre, Tree& chars)
{
    const unsigned n = in.get(9);
    if (n == 0) {
        chars.setSingle(in.get(9), 510);
        return true;
    }
    if (n > 510)
        throw Failure("character tree count over 510");
    std::vector<unsigned> lengths(510, 0);
    for (unsigned i = 0; i < n;) {
        const unsigned t = pre.read(in);
        unsigned zeros = 0;
        if (t == 0)
            zeros = 1;
        else if (t == 1)
            zeros = in.get(4) + 3;
        else if (t == 2)
            zeros = in.get(9) + 20;
        else
            lengths[i++] = t - 2;
        if (i + zeros > n)
            throw Failure("zero run past the character tree count");
        i += zeros;
    }
    chars.setLengths(lengths);
    return false;
}

}  // namespace

StrictResult decodeStrict(unsigned dictBits, const Bytes& compressed, size_t originalSize)
{
    StrictResult result;
    const unsigned np = dictBits + 1;
    const unsigned pbit = dictBits == 13 ? 4 : 5;
    const size_t dict = size_t{1} << dictBits;
    BitReader in(compressed);
    try {
        while (result.data.size() < originalSize) {
            const unsigned count = in.get(16);
            if (count == 0)
                throw Failure("block with no codes");
            ++result.blocks;
            Tree pre, chars, positions;
            readSmallTree(in, pre, 19, 5, true);
            if (readCharTree(in, pre, chars))
                ++result.singleSymbolBlocks;
            readSmallTree(in, positions, np, pbit, false);
            for (unsigned k = 0; k < count; ++k) {
                if (result.data.size() >= originalSize)
                    throw Failure("block has codes beyond the original size");
                const unsigned c = chars.read(in);
                if (c < 256) {
                    result.data.push_back(static_cast<uint8_t>(c));
                    continue;
                }
                const unsigned length = c - 253;
                const unsigned cls = positions.read(in);
                const size_t p = cls < 2 ? cls : (size_t{1} << (cls - 1)) + in.get(cls - 1);
                const size_t distance = p + 1;
                if (distance > dict)
                    throw Failure("distance beyond the dictionary");
                if (distance > result.data.size())
                    throw Failure("reference before the first byte");
                if (result.data.size() + length > originalSize)
                    throw Failure("match past the end");
                result.longestMatch = std::max<size_t>(result.longestMatch, length);
                result.farthestDistance = std::max(result.farthestDistance, distance);
                for (unsigned j = 0; j < length; ++j)
                    result.data.push_back(result.data[result.data.size() - distance]);
            }
        }
        if (in.bitsLeft() >= 8)
            throw Failure("bytes left after the last code");
        if (in.bitsLeft() > 0 && in.get(static_cast<unsigned>(in.bitsLeft())) != 0)
            throw Failure("padding bits are not zero");
    } catch (const Failure& e) {
        result.error = e.what();
    }
    return result;
}

}  // namespace kestrel::lzh::test
