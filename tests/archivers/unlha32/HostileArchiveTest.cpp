// Archives made to hurt: each must give an error result or a refusal, never a
// crash, a hang, a half-written file or a write outside the destination.
#include <gtest/gtest.h>
#include <unistd.h>

#include "LzhArchive.h"
#include "SafePath.h"
#include "UnlhaTestSupport.h"

using kestrel::lzh::LzhArchive;

namespace {

class Hostile : public ::testing::Test {
protected:
    std::string dest() const { return work / "dest/"; }
    CallResult extract(const std::string& archive) { return unlha("x " + q(archive) + " " + q(dest())); }
    TempDir work, outside;
};

bool hasTemporaries(const std::string& root) {
    for (const std::string& f : tree(root))
        if (f.find(".kes-") != std::string::npos) return true;
    return false;
}

}  // namespace

TEST_F(Hostile, DotDotNamesAreRefusedAndTheRestExtracted) {
    std::string a = writeArchive(work, "dotdot.lzh", {{"../escape.txt", "x"}, {"ok/../../escape2.txt", "x"},
                                                       {"..\\escape3.txt", "x"}, {"good.txt", "fine"}});
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_WARN_SKIPPED) << r.output;
    EXPECT_EQ(tree(work / "dest"), (std::vector<std::string>{"good.txt"}));
    EXPECT_EQ(tree(work.path()), (std::vector<std::string>{"dest/", "dest/good.txt", "dotdot.lzh"}));
    EXPECT_NE(r.output.find("escape.txt"), std::string::npos);
}

TEST_F(Hostile, RootedNamesLandInsideTheDestination) {
    // Some writers store the root on purpose: it is dropped (once said), ".." is not.
    std::string target = outside / "abs.txt";
    std::string a = writeArchive(work, "absolute.lzh", {{target, "x"}, {"C:\\Windows\\evil.txt", "w"},
                                                         {"\\\\server\\share\\s.txt", "s"},
                                                         {"/../escape.txt", "x"}, {"g", "g"}});
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_WARN_SKIPPED) << r.output;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(tree(outside.path()).empty());
    EXPECT_EQ(TempDir::read(work / ("dest" + target)), "x");
    EXPECT_EQ(TempDir::read(work / "dest/Windows/evil.txt"), "w");
    EXPECT_EQ(TempDir::read(work / "dest/server/share/s.txt"), "s");
    EXPECT_FALSE(std::filesystem::exists(work / "dest/escape.txt"));
    std::string note = kestrel::arc::SafePath::rootDroppedNote();
    size_t at = r.output.find(note);
    EXPECT_NE(at, std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(note, at + 1), std::string::npos) << r.output;
}

TEST_F(Hostile, LinksPointingOutsideAreRefusedAndInsideKept) {
    MadeEntry out{"escape|../../" + outside.path().substr(1) + "/x"};
    out.symlink = true;
    MadeEntry abs{"abs|/etc/passwd"};
    abs.symlink = true;
    MadeEntry in{"docs/readme|../main.txt"};
    in.symlink = true;
    std::string a = writeArchive(work, "symlink_escape.lzh", {out, abs, {"main.txt", "m"}, in});
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_WARN_SKIPPED) << r.output;
    EXPECT_EQ(tree(work / "dest"), (std::vector<std::string>{"docs/", "docs/readme", "main.txt"}));
    EXPECT_EQ(TempDir::read(work / "dest/docs/readme"), "m");
}

TEST_F(Hostile, NamesClimbingThroughALinkAreRefused) {
    // A link planted by the archive itself, then a file "through" it.
    MadeEntry plant{"sub|."};
    plant.symlink = true;
    std::filesystem::create_directories(work / "dest");
    ASSERT_EQ(symlink(outside.path().c_str(), (work / "dest/evil").c_str()), 0);
    std::string a = writeArchive(work, "through_link.lzh", {plant, {"sub/x.txt", "x"}, {"evil/y.txt", "y"}});
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_WARN_SKIPPED) << r.output;
    EXPECT_TRUE(tree(outside.path()).empty());
    EXPECT_FALSE(std::filesystem::exists(work / "dest/x.txt"));
}

TEST_F(Hostile, TruncatedArchivesFailWithoutHalfFiles) {
    std::string data(5000, 'd');
    std::string whole = makeArchiveBytes({{"first.txt", "1"}, {"big.bin", data}});
    for (size_t cut : {size_t(5), size_t(30), whole.size() / 2, whole.size() - 2}) {
        SCOPED_TRACE(cut);
        std::filesystem::remove_all(work / "dest");
        std::string a = work.write("truncated.lzh", whole.substr(0, cut));
        auto r = extract(a);
        EXPECT_TRUE(r.code == KA_ERR_NOT_ARCHIVE || r.code == KA_ERR_DAMAGED) << std::hex << r.code;
        EXPECT_FALSE(std::filesystem::exists(work / "dest/big.bin"));
        EXPECT_FALSE(hasTemporaries(work.path()));
    }
}

TEST_F(Hostile, DamagedDataIsReportedAndNeverLeftBehind) {
    std::string bytes = makeArchiveBytes({{"bad.txt", "payload bytes"}, {"good.txt", "good"}});
    bytes[bytes.find("payload")] ^= 0x01;
    std::string a = work.write("bad_crc.lzh", bytes);
    auto r = extract(a);
    EXPECT_EQ(r.code, KA_ERR_DAMAGED);
    EXPECT_EQ(tree(work / "dest"), (std::vector<std::string>{"good.txt"}));
    // An existing file of that name is not harmed by the failed replacement.
    work.write("dest/bad.txt", "keep me");
    ScriptedHost yes;
    yes.answers = {KH_YES_TO_ALL};
    EXPECT_EQ(unlha("x " + q(a) + " " + q(dest()), yes.window()).code, KA_ERR_DAMAGED);
    EXPECT_EQ(TempDir::read(work / "dest/bad.txt"), "keep me");
    EXPECT_FALSE(hasTemporaries(work.path()));
}

TEST_F(Hostile, HugeHeaderAndDataSizesAreBounded) {
    std::string base = makeArchiveBytes({{"x.txt", "x"}});
    // Level 2 claiming a 64 KiB header in a tiny file.
    std::string h2 = base;
    h2[0] = '\xFF';
    h2[1] = '\xFF';
    // Level 1 whose extended header claims more than its skip size.
    std::string h1 = hexBytes("1F 48 2D 6C 68 35 2D 10 00 00 00 0A 00 00 00 54 63 2D 51 20 01 06 61 62 2E 74 78 74 "
                              "AF 1D 4D FF FF 40 20 00 00 00");
    // Level 3 with a 4 GiB header length.
    std::string h3 = hexBytes("04 00 2D 6C 68 30 2D 00 00 00 00 00 00 00 00 00 00 00 00 20 03 00 00 55 FF FF FF FF "
                              "00 00 00 00 00");
    // Compressed size of 4 GiB.
    std::string big = base;
    big[7] = big[8] = big[9] = big[10] = '\xFF';
    for (const std::string* bytes : {&h2, &h1, &h3, &big}) {
        std::string a = work.write("huge_header.lzh", *bytes);
        auto r = extract(a);
        EXPECT_TRUE(r.code == KA_ERR_NOT_ARCHIVE || r.code == KA_ERR_DAMAGED) << std::hex << r.code;
        LzhArchive archive;
        EXPECT_NE(archive.open(a), LzhArchive::Status::Ok);
    }
}

TEST_F(Hostile, EveryFlippedByteGivesAResultNotACrash) {
    std::string bytes = makeArchiveBytes({{"d/a.txt", "abcabcabc"}, {"b.txt", ""}});
    // Also a real -lh5- stream, so that the decoder sees damaged input too.
    bytes.pop_back();
    bytes += hexBytes("2D 00 2D 6C 68 35 2D 0B 00 00 00 0A 00 00 00 00 10 5E 5F 20 02 AF 1D 4D 05 00 00 0D 24 09 00 "
                      "01 61 62 2E 74 78 74 05 00 40 20 00 00 00 00 03 28 08 46 0D 0B 49 5D 80 D8 00");
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (unsigned char flip : {0x01, 0x80, 0xFF}) {
            std::string damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ flip);
            std::string a = work.write("bitflip.lzh", damaged);
            auto r = extract(a);
            EXPECT_TRUE(r.code == KA_OK || r.code >= 0x8000 || r.code == KA_WARN_SKIPPED);
            listEntries(a);
        }
        EXPECT_FALSE(hasTemporaries(work.path())) << i;
    }
    // Whatever got out stayed inside the destination.
    EXPECT_EQ(tree(work.path()).front(), "bitflip.lzh");
}
