#include "LzxHuffman.h"

#include <algorithm>
#include <vector>

void LzxHuffman::buildLengths(const uint32_t* freq, int n, int maxLength, uint8_t* lengths)
{
    std::fill(lengths, lengths + n, 0);
    int used = 0;
    int first = -1;
    for (int i = 0; i < n; ++i) {
        if (freq[i] != 0) {
            ++used;
            if (first < 0)
                first = i;
        }
    }
    if (used < 2) {
        // A lone symbol still needs a complete code: pair it with a dummy.
        const int a = first < 0 ? 0 : first;
        const int b = a == 0 ? 1 : 0;
        lengths[a] = 1;
        lengths[b] = 1;
        return;
    }
    // Flatten the frequencies until the tree fits the length limit; each try
    // is a true Huffman tree, so the result is always complete.
    std::vector<uint32_t> f(freq, freq + n);
    for (;;) {
        huffmanLengths(f.data(), n, lengths);
        if (*std::max_element(lengths, lengths + n) <= maxLength)
            return;
        for (auto& v : f)
            if (v != 0)
                v = (v >> 1) | 1;
    }
}

void LzxHuffman::huffmanLengths(const uint32_t* freq, int n, uint8_t* lengths)
{
    // Two-queue construction over the leaves sorted by frequency.
    std::vector<int> leaves;
    for (int i = 0; i < n; ++i)
        if (freq[i] != 0)
            leaves.push_back(i);
    std::stable_sort(leaves.begin(), leaves.end(),
                     [&](int a, int b) { return freq[a] < freq[b]; });
    const size_t m = leaves.size();
    std::vector<uint64_t> weight(2 * m);
    std::vector<int> parent(2 * m, -1);
    for (size_t i = 0; i < m; ++i)
        weight[i] = freq[leaves[i]];
    size_t leaf = 0, inner = m, next = m;
    auto takeSmallest = [&]() {
        if (leaf < m && (inner >= next || weight[leaf] <= weight[inner]))
            return leaf++;
        return inner++;
    };
    while (next < 2 * m - 1) {
        const size_t a = takeSmallest();
        const size_t b = takeSmallest();
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = int(next);
        ++next;
    }
    // Parents always come after their children, so depths fill backwards.
    std::vector<int> depth(2 * m, 0);
    for (size_t i = 2 * m - 1; i-- > 0;)
        depth[i] = parent[i] < 0 ? 0 : depth[parent[i]] + 1;
    for (size_t i = 0; i < m; ++i)
        lengths[leaves[i]] = uint8_t(std::min(depth[i], 255));
}

void LzxHuffman::buildCodes(const uint8_t* lengths, int n, uint16_t* codes)
{
    int count[33] = {};
    for (int i = 0; i < n; ++i)
        ++count[lengths[i]];
    count[0] = 0;
    uint32_t next[33] = {};
    uint32_t code = 0;
    for (int len = 1; len <= 32; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (int i = 0; i < n; ++i)
        codes[i] = lengths[i] ? uint16_t(next[lengths[i]]++) : 0;
}
