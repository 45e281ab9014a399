#include "HuffmanCode.h"

#include <algorithm>
#include <vector>

namespace kestrel::lzh {
namespace {

struct Leaf {
    uint32_t freq;
    uint16_t symbol;
};

// Depth of every leaf in a Huffman tree over leaves sorted by ascending
// frequency, built with the two-queue method (leaves, then merged nodes,
// which are created in ascending weight order).
std::vector<unsigned> treeDepths(const std::vector<Leaf>& leaves)
{
    const size_t m = leaves.size();
    std::vector<uint64_t> weight(2 * m - 1);
    std::vector<size_t> parent(2 * m - 1, 0);
    for (size_t i = 0; i < m; ++i)
        weight[i] = leaves[i].freq;
    size_t nextLeaf = 0, nextNode = m;
    auto takeSmallest = [&](size_t built) {
        if (nextLeaf < m && (nextNode >= built || weight[nextLeaf] <= weight[nextNode]))
            return nextLeaf++;
        return nextNode++;
    };
    for (size_t built = m; built < 2 * m - 1; ++built) {
        const size_t a = takeSmallest(built);
        const size_t b = takeSmallest(built);
        weight[built] = weight[a] + weight[b];
        parent[a] = parent[b] = built;
    }
    std::vector<unsigned> depth(2 * m - 1, 0);
    for (size_t i = 2 * m - 1; i-- > 0;)
        if (i != 2 * m - 2)
            depth[i] = depth[parent[i]] + 1;
    depth.resize(m);
    return depth;
}

// Counts of codes per length after forcing every length to at most kMaxLength.
// Clamping makes the code oversubscribed; each round takes one code off the
// longest length and splits a shorter code in two, which lowers the Kraft sum
// by exactly one unit, so the loop ends on a complete code.
std::vector<unsigned> limitedLengthCounts(const std::vector<unsigned>& depths)
{
    constexpr unsigned L = HuffmanCode::kMaxLength;
    std::vector<unsigned> count(L + 1, 0);
    for (unsigned d : depths)
        ++count[std::min(d, L)];
    uint64_t kraft = 0;
    for (unsigned len = 1; len <= L; ++len)
        kraft += uint64_t{count[len]} << (L - len);
    for (; kraft > (uint64_t{1} << L); --kraft) {
        --count[L];
        for (unsigned len = L - 1; len > 0; --len) {
            if (count[len] > 0) {
                --count[len];
                count[len + 1] += 2;
                break;
            }
        }
    }
    return count;
}

}  // namespace

size_t HuffmanCode::buildLengths(const uint32_t* freq, size_t count, uint8_t* lengths)
{
    // Sorted by frequency, ties by symbol: one key per used symbol keeps the
    // sort cheap and the result the same on every run.
    std::vector<uint64_t> keys;
    keys.reserve(count);
    for (size_t s = 0; s < count; ++s) {
        lengths[s] = 0;
        if (freq[s] > 0)
            keys.push_back((uint64_t{freq[s]} << 16) | s);
    }
    if (keys.size() < 2)
        return keys.size();
    std::sort(keys.begin(), keys.end());
    std::vector<Leaf> leaves(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        leaves[i] = {static_cast<uint32_t>(keys[i] >> 16), static_cast<uint16_t>(keys[i] & 0xFFFF)};
    const std::vector<unsigned> perLength = limitedLengthCounts(treeDepths(leaves));
    // The rarest symbols take the longest codes.
    size_t next = 0;
    for (unsigned len = kMaxLength; len > 0; --len)
        for (unsigned k = 0; k < perLength[len]; ++k)
            lengths[leaves[next++].symbol] = static_cast<uint8_t>(len);
    return leaves.size();
}

void HuffmanCode::assignCodes(const uint8_t* lengths, size_t count, uint16_t* codes)
{
    unsigned perLength[kMaxLength + 1] = {};
    for (size_t s = 0; s < count; ++s)
        ++perLength[lengths[s]];
    perLength[0] = 0;
    uint32_t next[kMaxLength + 2] = {};
    uint32_t code = 0;
    for (unsigned len = 1; len <= kMaxLength; ++len) {
        code = (code + perLength[len - 1]) << 1;
        next[len] = code;
    }
    for (size_t s = 0; s < count; ++s)
        codes[s] = lengths[s] ? static_cast<uint16_t>(next[lengths[s]]++) : 0;
}

}  // namespace kestrel::lzh
