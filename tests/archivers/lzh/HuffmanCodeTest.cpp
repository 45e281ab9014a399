#include "HuffmanCode.h"
#include "LzhTestSupport.h"
#include "StrictDecoder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrel::lzh;
using namespace kestrel::lzh::test;

namespace {

uint64_t kraftSum(const std::vector<uint8_t>& lengths)
{
    uint64_t sum = 0;
    for (uint8_t len : lengths)
        if (len)
            sum += uint64_t{1} << (16 - len);
    return sum;
}

}  // namespace

TEST(HuffmanCode, SkewedFrequenciesStayWithinSixteenBitsAndComplete)
{
    // Fibonacci weights would need codes of 30+ bits without the limit.
    std::vector<uint32_t> freq(40);
    uint32_t a = 1, b = 1;
    for (auto& f : freq) {
        f = a;
        const uint32_t c = a + b;
        a = b;
        b = c > 60000000 ? 60000000 : c;
    }
    std::vector<uint8_t> lengths(freq.size());
    EXPECT_EQ(HuffmanCode::buildLengths(freq.data(), freq.size(), lengths.data()), freq.size());
    for (uint8_t len : lengths) {
        EXPECT_GE(len, 1);
        EXPECT_LE(len, 16);
    }
    EXPECT_EQ(kraftSum(lengths), uint64_t{1} << 16);
    // More frequent symbols never get longer codes.
    for (size_t s = 1; s < freq.size(); ++s) {
        if (freq[s] > freq[s - 1]) {
            EXPECT_LE(lengths[s], lengths[s - 1]);
        }
    }
}

TEST(HuffmanCode, FewSymbols)
{
    uint32_t none[5] = {};
    uint8_t lengths[5];
    EXPECT_EQ(HuffmanCode::buildLengths(none, 5, lengths), 0u);
    uint32_t one[5] = {0, 0, 9, 0, 0};
    EXPECT_EQ(HuffmanCode::buildLengths(one, 5, lengths), 1u);
    for (uint8_t len : lengths)
        EXPECT_EQ(len, 0);
    uint32_t two[5] = {0, 1, 0, 1000, 0};
    EXPECT_EQ(HuffmanCode::buildLengths(two, 5, lengths), 2u);
    EXPECT_EQ(lengths[1], 1);
    EXPECT_EQ(lengths[3], 1);
}

TEST(HuffmanCode, CanonicalCodesByLengthThenSymbol)
{
    const uint8_t lengths[6] = {3, 3, 3, 3, 2, 2};
    uint16_t codes[6];
    HuffmanCode::assignCodes(lengths, 6, codes);
    const uint16_t expected[6] = {0b100, 0b101, 0b110, 0b111, 0b00, 0b01};
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(codes[s], expected[s]) << s;
}

TEST(HuffmanCode, SkewedLiteralsInARealBlock)
{
    // Literal frequencies doubling from byte to byte force the length limit
    // inside an actual block; no byte repeats within reach as a match.
    Bytes input;
    for (unsigned s = 0; s < 18; ++s)
        for (unsigned k = 0; k < (1u << s) && input.size() < 60000; ++k)
            input.push_back(static_cast<uint8_t>(s));
    // Shuffle so runs do not turn into matches.
    uint64_t x = 88172645463325252ull;
    for (size_t i = input.size(); i > 1; --i) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        std::swap(input[i - 1], input[x % i]);
    }
    for (LzhMethod m : {LzhMethod::Lh5, LzhMethod::Lh7}) {
        const Bytes packed = encode(m, input);
        const StrictResult strict = decodeStrict(m == LzhMethod::Lh5 ? 13 : 16, packed, input.size());
        EXPECT_EQ(strict.error, "");
        EXPECT_TRUE(strict.data == input);
    }
}
