// Archives written by other archivers over the years, each with the habit that
// once made us refuse it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DosTime.h"
#include "ForeignArchives.h"
#include "LzhArchive.h"

using kestrel::lzh::LzhArchive;

namespace {

class Foreign : public ::testing::Test {
protected:
    std::string dest() const { return work / "dest/"; }
    CallResult extract(const std::string& archive) { return unlha("x " + q(archive) + " " + q(dest())); }
    TempDir work;
};

}  // namespace

TEST_F(Foreign, StreamsLongerThanTheReadBufferDecodeWhole) {
    // -lz5- asks for its two-byte copy commands in one read; -lzs- reads bits.
    std::vector<std::pair<std::string, foreign::Lz5>> cases = {{"-lz5-", foreign::lz5Stream(70000, true)},
                                                                {"-lz5-", foreign::lz5Stream(70000, false)},
                                                                {"-lzs-", foreign::lzsLiterals(70000)}};
    for (const auto& [method, stream] : cases) {
        SCOPED_TRACE(method + std::to_string(stream.compressed.size()));
        ASSERT_GT(stream.compressed.size(), 65536u);
        std::string a = work.write("long.lzh", foreign::level0(method, "big.bin", stream.data, stream.compressed) + '\0');
        std::filesystem::remove_all(work / "dest");
        auto r = extract(a);
        EXPECT_EQ(r.code, KA_OK) << r.output;
        EXPECT_TRUE(TempDir::read(work / "dest/big.bin") == stream.data);
    }
}

TEST_F(Foreign, Os9Level2HeadersTwoBytesShortAreRead) {
    std::string a = work.write("os9.lzh", foreign::os9Entry("first.txt", "one") + foreign::os9Entry("second", "two") + '\0');
    EXPECT_EQ(listNames(a), (std::vector<std::string>{"first.txt", "second"}));
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(TempDir::read(work / "dest/second"), "two");
    // Only exactly two bytes short, with the rest of the header agreeing.
    a = work.write("short3.lzh", foreign::os9Entry("first.txt", "one", 3) + '\0');
    EXPECT_EQ(extract(a).code, KA_ERR_NOT_ARCHIVE);
}

TEST_F(Foreign, ArchivesBehindLongStubsAreFound) {
    // A stub of 66,532 bytes with decoys: method ids whose headers do not add up.
    std::string stub(66532, '\x90');
    for (size_t at = 100; at + 30 < stub.size(); at += 997) {
        stub.replace(at + 2, 5, "-lh5-");
        stub[at + 20] = static_cast<char>(at % 3);
    }
    std::string archive = makeArchiveBytes({{"a.txt", "alpha"}, {"b/c.txt", "gamma"}});
    std::string a = work.write("sfx.exe", stub + archive);
    EXPECT_EQ(listNames(a), (std::vector<std::string>{"a.txt", "b/c.txt"}));
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(TempDir::read(work / "dest/b/c.txt"), "gamma");

    // Megabytes of level-2 decoys, each claiming a 64 KiB header, end in a refusal.
    std::string decoy = hexBytes("FF FF 2D 6C 68 30 2D 00 00 00 00 00 00 00 00 00 00 00 00 20 02 00 00 55 FF 00 00");
    std::string decoys;
    while (decoys.size() < (4u << 20)) decoys += decoy;
    a = work.write("decoys.exe", decoys);
    LzhArchive opened;
    EXPECT_EQ(opened.open(a), LzhArchive::Status::NotArchive);
}

TEST_F(Foreign, AmigaCommentsAreNotPartOfTheNameAndNoNulReachesTheReport) {
    std::string bytes = foreign::level0("-lh0-", std::string("metadata.txt\0a comment", 22), "meta", "meta");
    // A NUL inside a method id makes it unknown; one inside a folder name is refused.
    bytes += foreign::level0(std::string("-lh\0-", 5), "odd.bin", "x", "x");
    bytes += makeArchiveBytes({{std::string("d\0x/f.txt", 9), "f"}});
    std::string a = work.write("amiga.lzh", bytes);
    EXPECT_EQ(listNames(a), (std::vector<std::string>{"metadata.txt", "odd.bin", "d?x/f.txt"}));
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_ERR_UNSUPPORTED) << r.output;
    EXPECT_EQ(TempDir::read(work / "dest/metadata.txt"), "meta");
    EXPECT_NE(r.output.find("-lh?-"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("d?x/f.txt"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("1 個を展開しました"), std::string::npos) << r.output;
}

TEST_F(Foreign, UnixTimesOfLevel0And1AreTheTrueTimes) {
    const time_t stamp = 1234567890;
    std::string unixArea = "U";
    unixArea += '\0';
    foreign::put32(unixArea, static_cast<uint32_t>(stamp));
    unixArea += std::string(6, '\0');  // mode, uid, gid
    std::string time54 = "\x54";
    foreign::put32(time54, static_cast<uint32_t>(stamp));
    std::string a = work.write("unixtime.lzh", foreign::level0("-lh0-", "zero.txt", "0", "0", unixArea) +
                                                   foreign::level1("one.txt", "1", {time54}) + '\0');
    auto dos = kestrel::arc::DosTime::fromTimeT(stamp);
    auto entries = listEntries(a);
    ASSERT_EQ(entries.size(), 2u);
    for (const EntryInfo& e : entries) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.dosDate, dos.date);
        EXPECT_EQ(e.dosTime, dos.time);
    }
    ASSERT_EQ(extract(a).code, KA_OK);
    for (const char* name : {"zero.txt", "one.txt"}) {
        struct stat st;
        ASSERT_EQ(stat((work / "dest/" + std::string(name)).c_str(), &st), 0);
        EXPECT_EQ(st.st_mtime, stamp) << name;
    }
}

TEST_F(Foreign, CutOffArchivesListWhatIsThereAndExtractionSaysSo) {
    std::string big(20000, 'b');
    std::string whole = makeArchiveBytes({{"big.bin", big}, {"last.txt", "last"}});
    for (const char* name : {"big.bin", "last.txt"}) {
        SCOPED_TRACE(name);
        // Cut in the middle of this entry's data.
        size_t cut = whole.rfind(name == std::string("big.bin") ? big : std::string("last")) + 2;
        std::string a = work.write("cut.lzh", whole.substr(0, cut));
        std::vector<std::string> expected = {"big.bin"};
        if (name == std::string("last.txt")) expected.push_back("last.txt");
        EXPECT_EQ(listNames(a), expected);
        std::filesystem::remove_all(work / "dest");
        auto r = extract(a);
        EXPECT_EQ(r.code, KA_ERR_DAMAGED) << r.output;
        EXPECT_FALSE(std::filesystem::exists(work / ("dest/" + std::string(name))));
    }
}
