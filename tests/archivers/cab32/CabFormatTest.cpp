// The CFDATA checksum and the MSZIP block coder, checked against an independent
// decoder (zlib's inflate with the previous block as its dictionary).
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "CabFormat.h"
#include "CabTestSupport.h"
#include "MsZipCompressor.h"

using namespace kestrel::arc::cab;

namespace {

// Inflates one MSZIP block; the stream must end (final block) exactly at the end
// of the record.
std::string inflateBlock(const std::vector<uint8_t>& block, const std::string& history, size_t expected) {
    EXPECT_GE(block.size(), 2u);
    EXPECT_EQ(block[0], 'C');
    EXPECT_EQ(block[1], 'K');
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    if (!history.empty())
        inflateSetDictionary(&z, reinterpret_cast<const Bytef*>(history.data()), static_cast<uInt>(history.size()));
    std::string out(expected + 64, '\0');
    z.next_in = const_cast<Bytef*>(block.data() + 2);
    z.avail_in = static_cast<uInt>(block.size() - 2);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    EXPECT_EQ(rc, Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u) << "bytes after the final deflate block";
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

}  // namespace

TEST(CabChecksum, MatchesTheWorkedExampleAndCombinesTailBytesBigEndian) {
    const std::string data = "ABABABABAB";
    EXPECT_EQ(checksum(reinterpret_cast<const uint8_t*>(data.data()), data.size(), 0), 0x4142u);
    EXPECT_EQ(dataBlockChecksum(reinterpret_cast<const uint8_t*>(data.data()), 10, 10), 0x000A4148u);
    const uint8_t three[3] = {1, 2, 3};
    EXPECT_EQ(checksum(three, 3, 0), 0x010203u);
    const uint8_t five[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(checksum(five, 5, 0xFFFFFFFF), 0xFFFFFFFFu ^ 0x04030201u ^ 5u);
}

TEST(CabFormatText, NamesEveryMethodAndTheLzxWindow) {
    EXPECT_EQ(methodText(0x0000), "None");
    EXPECT_EQ(methodText(0x0001), "MSZIP");
    EXPECT_EQ(methodText(0x0002), "Quantum");
    EXPECT_EQ(methodText(0x1503), "LZX:21");
    EXPECT_EQ(methodText(0x0F03), "LZX:15");
}

TEST(MsZipCompressor, EveryBlockIsACompleteDeflateStreamUsingThePreviousBlockAsHistory) {
    // The second block repeats the first one's second half twice: with history
    // it codes as matches reaching back into the first block.
    const std::string first = cabtest::sampleData(kBlockSize, 1, false);
    const std::string second = first.substr(kBlockSize / 2) + first.substr(kBlockSize / 2);
    const std::string tail = second.substr(0, 1000);
    MsZipCompressor zip;
    auto b1 = zip.compress(reinterpret_cast<const uint8_t*>(first.data()), first.size(), false);
    auto b2 = zip.compress(reinterpret_cast<const uint8_t*>(second.data()), second.size(), false);
    auto b3 = zip.compress(reinterpret_cast<const uint8_t*>(tail.data()), tail.size(), true);
    EXPECT_EQ(inflateBlock(b1, "", first.size()), first);
    EXPECT_EQ(inflateBlock(b2, first, second.size()), second);
    EXPECT_EQ(inflateBlock(b3, second, tail.size()), tail);
    EXPECT_LT(b2.size(), first.size() / 20) << "history was not used";
    // Random data stays within what readers accept for one block.
    EXPECT_LE(b1.size(), kBlockSize + 6144);
    EXPECT_GT(b1.size(), kBlockSize);
}

TEST(MsZipCompressor, EmptyAndTinyBlocksDecode) {
    MsZipCompressor zip;
    const uint8_t one = 'x';
    auto b = zip.compress(&one, 1, true);
    EXPECT_EQ(inflateBlock(b, "", 1), "x");
}
