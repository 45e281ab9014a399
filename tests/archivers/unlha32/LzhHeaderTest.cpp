#include <gtest/gtest.h>

#include "DosTime.h"
#include "LzhArchive.h"
#include "LzhHeaderParser.h"
#include "UnlhaTestSupport.h"

using kestrel::lzh::Crc16;
using kestrel::lzh::LzhArchive;
using kestrel::lzh::LzhEntry;
using kestrel::lzh::LzhHeaderWriter;

namespace {

// "ABABABABAB" compressed with -lh5- (11 bytes), and its headers at levels 0, 1, 2
// as other LZH tools write them.
const std::string Lh5Data = hexBytes("00 03 28 08 46 0D 0B 49 5D 80 D8");
const std::string Level0 = hexBytes(
    "1C F0 2D 6C 68 35 2D 0B 00 00 00 0A 00 00 00 54 63 2D 51 20 00 06 61 62 2E 74 78 74 AF 1D");
const std::string Level1 = hexBytes(
    "1F 48 2D 6C 68 35 2D 10 00 00 00 0A 00 00 00 54 63 2D 51 20 01 06 61 62 2E 74 78 74 AF 1D 4D 05 00 40 20 00 "
    "00 00");
const std::string Level2 = hexBytes(
    "2D 00 2D 6C 68 35 2D 0B 00 00 00 0A 00 00 00 00 10 5E 5F 20 02 AF 1D 4D 05 00 00 0D 24 09 00 01 61 62 2E 74 "
    "78 74 05 00 40 20 00 00 00");

}  // namespace

TEST(Crc16, KnownValues) {
    EXPECT_EQ(Crc16::of(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xBB3D);
    EXPECT_EQ(Crc16::of(reinterpret_cast<const uint8_t*>("ABABABABAB"), 10), 0x1DAF);
    Crc16 split;
    split.update(reinterpret_cast<const uint8_t*>("1234"), 4);
    split.update(reinterpret_cast<const uint8_t*>("56789"), 5);
    EXPECT_EQ(split.value(), 0xBB3D);
}

TEST(LzhHeader, Level2HeaderIsWrittenByteForByte) {
    LzhEntry e;
    e.method = "-lh5-";
    e.compressedSize = 11;
    e.originalSize = 10;
    e.mtime = 1600000000;
    e.crc = 0x1DAF;
    e.osId = 'M';
    e.storedPath = "ab.txt";
    e.hasDosAttributes = true;
    e.dosAttributes = 0x20;
    auto h = LzhHeaderWriter::level2(e);
    ASSERT_TRUE(h);
    EXPECT_EQ(std::string(h->begin(), h->end()), Level2);
}

TEST(LzhHeader, TimesOutsideTheFieldAreClampedNotWrapped) {
    LzhEntry e;
    e.method = "-lh0-";
    e.storedPath = "t";
    for (auto [mtime, stored] : {std::pair<time_t, uint32_t>{5000000000, 0xFFFFFFFFu}, {-5, 0u}, {1600000000, 1600000000u}}) {
        e.mtime = mtime;
        auto h = LzhHeaderWriter::level2(e);
        ASSERT_TRUE(h);
        const uint32_t got = (*h)[15] | (*h)[16] << 8 | (*h)[17] << 16 | static_cast<uint32_t>((*h)[18]) << 24;
        EXPECT_EQ(got, stored) << mtime;
    }
}

TEST(LzhHeader, EveryLevelIsReadAndDecodedThroughLiblhasa) {
    TempDir dir;
    for (const std::string* header : {&Level0, &Level1, &Level2}) {
        SCOPED_TRACE(header == &Level0 ? "level 0" : header == &Level1 ? "level 1" : "level 2");
        std::string path = dir.write("ab.lzh", *header + Lh5Data + std::string(1, '\0'));
        auto entries = listEntries(path);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_STREQ(entries[0].name, "ab.txt");
        EXPECT_EQ(entries[0].originalSize, 10);
        EXPECT_EQ(entries[0].compressedSize, 11u);
        EXPECT_EQ(entries[0].crc, 0x1DAFu);
        EXPECT_EQ(entries[0].ratio, 1100);
        EXPECT_STREQ(entries[0].method, "-lh5-");
        EXPECT_STREQ(entries[0].attribute, "---A");
        if (header != &Level2) {
            EXPECT_EQ(entries[0].dosTime, 0x6354);  // DOS date and time as stored
            EXPECT_EQ(entries[0].dosDate, 0x512D);
        } else {
            auto dos = kestrel::arc::DosTime::fromTimeT(1600000000);
            EXPECT_EQ(entries[0].dosDate, dos.date);
            EXPECT_EQ(entries[0].dosTime, dos.time);
        }
        std::filesystem::remove_all(dir / "out");
        auto r = unlha("x " + q(path) + " " + q(dir / "out/"));
        EXPECT_EQ(r.code, KA_OK) << r.output;
        EXPECT_EQ(TempDir::read(dir / "out/ab.txt"), "ABABABABAB");
    }
}

TEST(LzhHeader, LengthWithZeroLowByteIsAvoidedAndFoldersUseFFSeparators) {
    LzhEntry e;
    e.method = "-lh0-";
    e.storedPath = std::string(222, 'n');  // 26 + 5 + 3 + 222 = 256 before the fix
    auto h = LzhHeaderWriter::level2(e);
    ASSERT_TRUE(h);
    EXPECT_NE(h->size() & 0xFF, 0u);
    EXPECT_EQ((*h)[0] | ((*h)[1] << 8), static_cast<int>(h->size()));

    e.storedPath = "docs/sub";
    e.isDirectory = true;
    e.method = "-lhd-";
    h = LzhHeaderWriter::level2(e);
    std::string bytes(h->begin(), h->end());
    EXPECT_NE(bytes.find("docs\xFFsub\xFF"), std::string::npos);

    TempDir dir;
    std::string path = dir.write("d.lzh", bytes + std::string(1, '\0'));
    EXPECT_EQ(listNames(path), (std::vector<std::string>{"docs/sub/"}));
    EntryInfo info = listEntries(path)[0];
    EXPECT_EQ(info.flags & ENTRY_FLAG_FOLDER, static_cast<uint32_t>(ENTRY_FLAG_FOLDER));
    EXPECT_EQ(info.ratio, 0);
}

TEST(LzhHeader, NamesInCp932AndUtf8AreListedAsUtf8) {
    TempDir dir;
    std::string path = writeArchive(dir, "j.lzh",
                                    {{"\x93\xfa\x96\x7b/\x83\x5c\x83\x74\x83\x67.txt", "a"},  // 日本/ソフト.txt
                                     {"한국.txt", "b"}});
    EXPECT_EQ(listNames(path), (std::vector<std::string>{"日本/ソフト.txt", "한국.txt"}));
}

TEST(LzhHeader, ArchiveBehindAProgramStubIsFound) {
    TempDir dir;
    std::string stub = "MZ" + std::string(3000, 'x');
    std::string path = dir.write("sfx.exe", stub + Level2 + Lh5Data + std::string(1, '\0'));
    LzhArchive archive;
    ASSERT_EQ(archive.open(path), LzhArchive::Status::Ok);
    EXPECT_TRUE(archive.hasPrefix());
    EXPECT_EQ(archive.start(), stub.size());
    ASSERT_EQ(archive.entries().size(), 1u);
    // Such an archive is never rewritten: the program in front would be lost.
    auto r = unlha("d " + q(path) + " \"ab.txt\"");
    EXPECT_EQ(r.code, KA_ERR_UNSUPPORTED);
}
