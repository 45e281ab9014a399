#include "LzhEncoder.h"
#include "LzhTestSupport.h"
#include "StrictDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

using namespace kestrel::lzh;
using namespace kestrel::lzh::test;

namespace {

unsigned dictBits(LzhMethod m)
{
    return m == LzhMethod::Lh5 ? 13 : m == LzhMethod::Lh6 ? 15 : 16;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Both decoders must give back the input; the strict one also vets the stream.
void expectRoundTrip(LzhMethod method, LzhEffort effort, const Bytes& input)
{
    const Bytes packed = encode(method, input, 1 << 20, effort);
    if (input.empty()) {
        EXPECT_TRUE(packed.empty());
        return;
    }
    ASSERT_FALSE(packed.empty());
    const StrictResult strict = decodeStrict(dictBits(method), packed, input.size());
    EXPECT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == input) << "strict decode differs";
    EXPECT_TRUE(decodeWithLhasa(method, packed, input.size()) == input) << "liblhasa decode differs";
}

// Every method with both parsers.
class LzhEncoderRoundTrip : public ::testing::TestWithParam<std::tuple<LzhMethod, LzhEffort>> {
protected:
    LzhMethod method() const { return std::get<0>(GetParam()); }
    LzhEffort effort() const { return std::get<1>(GetParam()); }
    unsigned bits() const { return dictBits(method()); }
    Bytes pack(const Bytes& input, size_t chunk = 1 << 20) const { return encode(method(), input, chunk, effort()); }
    void roundTrip(const Bytes& input) const { expectRoundTrip(method(), effort(), input); }
};

std::string paramName(const ::testing::TestParamInfo<std::tuple<LzhMethod, LzhEffort>>& info)
{
    return std::string(methodId(std::get<0>(info.param))).substr(1, 3) +
           (std::get<1>(info.param) == LzhEffort::Best ? "_best" : "_normal");
}

// Code and tables from a real program, unlike the generated samples.
Bytes readExecutablePrefix(size_t size)
{
    Bytes out(size);
    FILE* f = std::fopen("/proc/self/exe", "rb");
    if (!f)
        return {};
    out.resize(std::fread(out.data(), 1, size, f));
    std::fclose(f);
    return out;
}

}  // namespace

TEST_P(LzhEncoderRoundTrip, TinyInputs)
{
    roundTrip({});
    roundTrip({0x41});
    roundTrip({0x00, 0xFF});
    roundTrip({'a', 'a', 'a'});
    roundTrip({'a', 'b', 'a', 'b'});
    const std::string ab = "ABABABABAB";
    roundTrip(Bytes(ab.begin(), ab.end()));
}

TEST_P(LzhEncoderRoundTrip, SizesAroundBlockAndWindowBoundaries)
{
    for (size_t size : {size_t{8191}, size_t{8192}, size_t{8193}, size_t{65535}, size_t{65536}, size_t{65537}})
        roundTrip(sampleText(size, size));
}

TEST_P(LzhEncoderRoundTrip, RunsOfOneByte)
{
    roundTrip(Bytes(256 + 3, 0));
    // A byte and then only longest matches: past the first stretch of codes
    // the blocks hold one character symbol and one position class.
    const Bytes spaces(1 + 256 * 3 * 2048, 0x20);
    const Bytes packed = pack(spaces);
    const StrictResult strict = decodeStrict(bits(), packed, spaces.size());
    EXPECT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == spaces);
    EXPECT_GE(strict.singleSymbolBlocks, 1u);
    // Runs of every length around the longest match, between unrelated bytes.
    Bytes mixed;
    for (size_t len = 250; len < 520; len += 3) {
        mixed.insert(mixed.end(), len, static_cast<uint8_t>(len));
        const Bytes gap = randomBytes(5, len);
        mixed.insert(mixed.end(), gap.begin(), gap.end());
    }
    roundTrip(mixed);
}

TEST_P(LzhEncoderRoundTrip, TextRandomAndMixed)
{
    roundTrip(sampleText(300000, 1));
    roundTrip(randomBytes(150000, 2));
    roundTrip(concat({sampleText(70000, 3), randomBytes(70000, 4), Bytes(70000, 'x'),
                                        sampleText(70000, 3)}));
}

TEST_P(LzhEncoderRoundTrip, OddChunksGiveTheSameStream)
{
    // Long enough for the window to slide while chunks end anywhere.
    const Bytes input = concat({sampleText(150000, 5), randomBytes(20000, 6), sampleText(150000, 5)});
    const Bytes whole = pack(input);
    const StrictResult strict = decodeStrict(bits(), whole, input.size());
    EXPECT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == input);
    for (size_t chunk : {size_t{1}, size_t{3}, size_t{4097}, size_t{131073}})
        EXPECT_TRUE(pack(input, chunk) == whole) << "chunk " << chunk;
}

TEST_P(LzhEncoderRoundTrip, ReachesTheFullWindowAndLongestMatch)
{
    // The random block repeats exactly one dictionary later, so the only
    // matches there are at the largest distance the method allows.
    const size_t dict = size_t{1} << bits();
    const Bytes block = randomBytes(dict, 7);
    const Bytes input = concat({block, Bytes(block.begin(), block.begin() + 3000)});
    const Bytes packed = pack(input);
    const StrictResult strict = decodeStrict(bits(), packed, input.size());
    ASSERT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == input);
    EXPECT_EQ(strict.farthestDistance, dict);
    EXPECT_EQ(strict.longestMatch, 256u);
    // The 3000 repeated bytes cost a dozen matches, not their own size.
    EXPECT_LT(packed.size(), pack(block).size() + 100) << "the repeat was not found";
}

TEST_P(LzhEncoderRoundTrip, ManyBlocksStayValid)
{
    // Random bytes code almost all literals, so this needs several blocks
    // of at most 65535 codes each.
    const Bytes input = randomBytes(3 * 65535 + 1000, 8);
    const Bytes packed = pack(input);
    const StrictResult strict = decodeStrict(bits(), packed, input.size());
    ASSERT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == input);
    EXPECT_GE(strict.blocks, 4u);
    // Incompressible data grows only by the trees and a handful of bits.
    EXPECT_LT(packed.size(), input.size() + input.size() / 100);
}

TEST_P(LzhEncoderRoundTrip, BlocksFollowChangingData)
{
    // Text, noise, text: the noise gets blocks (and trees) of its own, and a
    // block may end inside what was already gathered.
    const Bytes input = concat({sampleText(60000, 12), randomBytes(40000, 13), sampleText(60000, 14)});
    const Bytes packed = pack(input);
    const StrictResult strict = decodeStrict(bits(), packed, input.size());
    ASSERT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == input);
    EXPECT_GE(strict.blocks, 3u);
}

TEST_P(LzhEncoderRoundTrip, CompressesText)
{
    const Bytes input = sampleText(200000, 9);
    const Bytes packed = pack(input);
    EXPECT_LT(packed.size(), input.size() * 45 / 100);
}

INSTANTIATE_TEST_SUITE_P(Methods, LzhEncoderRoundTrip,
                         ::testing::Combine(::testing::Values(LzhMethod::Lh5, LzhMethod::Lh6, LzhMethod::Lh7),
                                            ::testing::Values(LzhEffort::Normal, LzhEffort::Best)),
                         paramName);

TEST(LzhEncoder, KnownStreamForTwoLiteralsAndAnOverlappingMatch)
{
    // Worked out by hand from the bitstream rules: literals A and B, then a
    // match of 8 at distance 2; character tree 261 = 0, A = 10, B = 11, sent
    // through a pre-tree of five lengths; a single-class position tree.
    const std::string text = "ABABABABAB";
    const Bytes input(text.begin(), text.end());
    const Bytes expected = {0x00, 0x03, 0x28, 0x08, 0x46, 0x0D, 0x0B, 0x49, 0x5D, 0x80, 0xD8};
    EXPECT_TRUE(encode(LzhMethod::Lh5, input) == expected);
    const StrictResult strict = decodeStrict(13, expected, input.size());
    EXPECT_EQ(strict.error, "");
    EXPECT_TRUE(strict.data == input);
}

TEST(LzhEncoder, BestEffortIsSmallerOnTextAndCode)
{
    for (const Bytes& input : {sampleText(200000, 15), readExecutablePrefix(300000)}) {
        if (input.empty())
            continue;
        for (LzhMethod m : {LzhMethod::Lh5, LzhMethod::Lh7}) {
            const size_t normal = encode(m, input).size();
            const size_t best = encode(m, input, 1 << 20, LzhEffort::Best).size();
            EXPECT_LT(best, normal) << methodId(m);
        }
    }
}

TEST(LzhEncoder, CountsBytesInAndOut)
{
    const Bytes input = sampleText(50000, 10);
    size_t delivered = 0;
    LzhEncoder encoder(LzhMethod::Lh7, [&](const uint8_t*, size_t n) {
        delivered += n;
        return true;
    });
    ASSERT_TRUE(encoder.write(input.data(), 20000));
    ASSERT_TRUE(encoder.write(input.data() + 20000, input.size() - 20000));
    ASSERT_TRUE(encoder.finish());
    EXPECT_EQ(encoder.bytesIn(), input.size());
    EXPECT_EQ(encoder.bytesOut(), delivered);
    EXPECT_GT(delivered, 0u);
    // Finished means finished: nothing more is accepted.
    EXPECT_FALSE(encoder.write(input.data(), 1));
    EXPECT_FALSE(encoder.finish());
    EXPECT_EQ(encoder.bytesOut(), delivered);
}

TEST(LzhEncoder, TellsEarlyWhenDataWillNotShrink)
{
    auto verdictAfter = [](const Bytes& input) {
        LzhEncoder encoder(LzhMethod::Lh7, [](const uint8_t*, size_t) { return true; });
        EXPECT_FALSE(encoder.incompressibleSoFar()) << "before any input";
        encoder.write(input.data(), input.size());
        return encoder.incompressibleSoFar();
    };
    // Noise is recognised after about a MiB, long before the end of a big file.
    EXPECT_TRUE(verdictAfter(randomBytes(1600000, 16)));
    // Text is not, nor is too small a sample of noise.
    EXPECT_FALSE(verdictAfter(sampleText(1600000, 17)));
    EXPECT_FALSE(verdictAfter(randomBytes(500000, 18)));
    // Noise followed by text: still worth compressing once the text shows.
    EXPECT_FALSE(verdictAfter(concat({randomBytes(1100000, 19), sampleText(1000000, 20)})));
}

TEST(LzhEncoder, RefusingSinkStopsEncoding)
{
    const Bytes input = randomBytes(400000, 11);
    int calls = 0;
    LzhEncoder encoder(LzhMethod::Lh5, [&](const uint8_t*, size_t) {
        ++calls;
        return false;
    });
    bool ok = true;
    for (size_t at = 0; at < input.size() && ok; at += 50000)
        ok = encoder.write(input.data() + at, 50000);
    if (ok)
        ok = encoder.finish();
    EXPECT_FALSE(ok);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(encoder.bytesOut(), 0u);
    EXPECT_FALSE(encoder.write(input.data(), 10));
}

TEST(LzhEncoder, MethodIds)
{
    EXPECT_STREQ(methodId(LzhMethod::Lh5), "-lh5-");
    EXPECT_STREQ(methodId(LzhMethod::Lh6), "-lh6-");
    EXPECT_STREQ(methodId(LzhMethod::Lh7), "-lh7-");
}
