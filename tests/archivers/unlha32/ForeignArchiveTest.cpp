// Archives written by other archivers, each with a habit that once made us refuse it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DosTime.h"
#include "ForeignArchives.h"
#include "LzhArchive.h"

using foreign::dosEntry;

namespace {

class Foreign : public ::testing::Test {
protected:
    CallResult extract(const std::string& name, const std::string& bytes) {
        std::filesystem::remove_all(work / "dest");
        return unlha("x " + q(work.write(name, bytes)) + " " + q(work / "dest/"));
    }
    std::string got(const std::string& name) const { return TempDir::read(work / ("dest/" + name)); }
    TempDir work;
};

}  // namespace

TEST_F(Foreign, Lz5StreamsLongerThanTheReadBufferDecodeWhole) {
    for (bool literalsOnly : {true, false}) {
        auto [data, packed] = foreign::lz5Stream(70000, literalsOnly);
        ASSERT_GT(packed.size(), 65536u);
        auto r = extract("lz5.lzh", dosEntry(0, "-lz5-", "big.bin", data, packed) + '\0');
        EXPECT_EQ(r.code, KA_OK) << r.output;
        EXPECT_TRUE(got("big.bin") == data) << literalsOnly;
    }
}

TEST_F(Foreign, Os9Level2HeadersTwoBytesShortAreReadAndOnlyThose) {
    auto r = extract("os9.lzh", foreign::os9Entry("first.txt", "one") + foreign::os9Entry("second", "two") + '\0');
    EXPECT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(got("second"), "two");
    EXPECT_EQ(extract("short3.lzh", foreign::os9Entry("first.txt", "one", 3) + '\0').code, KA_ERR_NOT_ARCHIVE);
}

TEST_F(Foreign, ArchivesBehindLongStubsAreFoundAndDecoysCostLittle) {
    std::string stub(66532, '\x90');  // with method ids whose headers do not add up
    for (size_t at = 100; at + 30 < stub.size(); at += 997)
        stub.replace(at + 2, 19, "-lh5-" + std::string(14, '\0'));
    auto r = extract("sfx.exe", stub + makeArchiveBytes({{"a.txt", "alpha"}, {"b/c.txt", "gamma"}}));
    EXPECT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(got("b/c.txt"), "gamma");
    // Megabytes of level-2 decoys, each claiming a 64 KiB header: a refusal, soon.
    std::string decoy = hexBytes("FF FF 2D 6C 68 30 2D 00 00 00 00 00 00 00 00 00 00 00 00 20 02 00 00 55 FF 00 00");
    std::string decoys;
    while (decoys.size() < (4u << 20)) decoys += decoy;
    EXPECT_EQ(extract("decoys.exe", decoys).code, KA_ERR_NOT_ARCHIVE);
}

TEST_F(Foreign, AmigaCommentsAreNotPartOfTheNameAndNoNulReachesTheReport) {
    std::string bytes = dosEntry(0, "-lh0-", std::string("metadata.txt\0a comment", 22), "meta", "meta") +
                        dosEntry(0, std::string("-lh\0-", 5), "odd.bin", "x", "x") +  // an unknown method
                        makeArchiveBytes({{std::string("d\0x/f.txt", 9), "f"}});      // a refused folder
    auto r = extract("amiga.lzh", bytes);
    EXPECT_EQ(listNames(work / "amiga.lzh"), (std::vector<std::string>{"metadata.txt", "odd.bin", "d?x/f.txt"}));
    EXPECT_EQ(r.code, KA_ERR_UNSUPPORTED) << r.output;
    EXPECT_EQ(got("metadata.txt"), "meta");
    for (const char* seen : {"-lh?-", "d?x/f.txt", "1 個を展開しました"})
        EXPECT_NE(r.output.find(seen), std::string::npos) << seen;
}

TEST_F(Foreign, UnixTimesOfLevel0And1AreTheTrueTimes) {
    const time_t stamp = 1234567890;
    std::string unixArea = "U" + foreign::le(0, 1) + foreign::le(stamp, 4) + std::string(6, '\0');
    std::string bytes = dosEntry(0, "-lh0-", "zero.txt", "0", "0", unixArea) +
                        dosEntry(1, "-lh0-", "one.txt", "1", "1", "\x54" + foreign::le(stamp, 4)) + '\0';
    ASSERT_EQ(extract("unixtime.lzh", bytes).code, KA_OK);
    auto dos = kestrel::arc::DosTime::fromTimeT(stamp);
    auto entries = listEntries(work / "unixtime.lzh");
    ASSERT_EQ(entries.size(), 2u);
    for (const EntryInfo& e : entries) {
        EXPECT_EQ(e.dosDate, dos.date) << e.name;
        EXPECT_EQ(e.dosTime, dos.time) << e.name;
        struct stat st;
        ASSERT_EQ(stat((work / "dest/" + std::string(e.name)).c_str(), &st), 0);
        EXPECT_EQ(st.st_mtime, stamp) << e.name;
    }
}

TEST_F(Foreign, CutOffArchivesListWhatIsThereAndExtractionSaysSo) {
    std::string whole = makeArchiveBytes({{"big.bin", std::string(20000, 'b')}, {"last.txt", "last"}});
    for (auto [cut, listed] : {std::pair<size_t, size_t>{10000, 1}, {whole.size() - 3, 2}}) {
        auto r = extract("cut.lzh", whole.substr(0, cut));
        EXPECT_EQ(listNames(work / "cut.lzh").size(), listed);
        EXPECT_EQ(r.code, KA_ERR_DAMAGED) << r.output;
        EXPECT_EQ(std::filesystem::exists(work / "dest/big.bin"), listed == 2);
        EXPECT_FALSE(std::filesystem::exists(work / "dest/last.txt"));
    }
}
