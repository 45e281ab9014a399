// Hostile and damaged archives: one defect each. Every case must end in a result,
// leave nothing outside the destination and no half-written file inside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "ArchiverApi.h"
#include "SafePath.h"
#include "TestSupport.h"
#include "ZipBuilder.h"

namespace kestrel::test {
namespace {

class ZipHostile : public ::testing::Test {
protected:
    TempDir dir;
    std::string out = dir / "out";

    int extract(const std::string& archive, std::string* report = nullptr) {
        return runUnZip(nullptr, "-x \"" + archive + "\" \"" + out + "/\" \"*.*\"", report);
    }
    // Everything in the scratch folder apart from the archive and the destination.
    std::vector<std::string> outside() {
        std::vector<std::string> names;
        for (const std::string& n : listTree(dir.path()))
            if (n.rfind("out/", 0) != 0 && n.find(".zip") == std::string::npos)
                names.push_back(n);
        return names;
    }
};

TEST_F(ZipHostile, DotDotNamesAreRefusedTheRestExtracted) {
    ZipBuilder b;
    b.file("../evil.txt", "x").file("a/../../evil2.txt", "x").file("..\\evil3.txt", "x");
    b.file("good.txt", "fine");
    std::string report;
    EXPECT_EQ(extract(b.write(dir / "dotdot.zip"), &report), KA_WARN_SKIPPED);
    EXPECT_EQ(outside(), std::vector<std::string>{});
    EXPECT_EQ(listTree(out), std::vector<std::string>{"good.txt"});
    EXPECT_NE(report.find("../evil.txt"), std::string::npos);
    EXPECT_NE(report.find("a/../../evil2.txt"), std::string::npos);
}

TEST_F(ZipHostile, RootedNamesLandInsideTheDestination) {
    // Some writers store the root on purpose: it is dropped (once said), ".." is not.
    const std::string target = dir / "abs.txt";
    ZipBuilder b;
    b.file(target, "x").file("C:\\win.txt", "w").file("\\docs\\a.txt", "a").file("/../escape.txt", "e");
    std::string report;
    EXPECT_EQ(extract(b.write(dir / "absolute.zip"), &report), KA_WARN_SKIPPED);
    EXPECT_FALSE(exists(target));
    EXPECT_EQ(outside(), std::vector<std::string>{});
    EXPECT_EQ(readFile(out + target), "x");
    EXPECT_EQ(readFile(out + "/win.txt"), "w");
    EXPECT_EQ(readFile(out + "/docs/a.txt"), "a");
    EXPECT_FALSE(exists(out + "/escape.txt"));
    const std::string note = arc::SafePath::rootDroppedNote();
    const size_t at = report.find(note);
    EXPECT_NE(at, std::string::npos) << report;
    EXPECT_EQ(report.find(note, at + 1), std::string::npos) << report;
}

TEST_F(ZipHostile, SymlinksPointingOutsideAreRefused) {
    ZipBuilder b;
    b.unixEntry("up", "../outside", 0120777);
    b.unixEntry("abs", "/etc/passwd", 0120777);
    b.unixEntry("sub/deep", "../../x", 0120777);
    b.unixEntry("fine", "sub/../good.txt", 0120777);
    b.file("good.txt", "fine");
    std::string report;
    EXPECT_EQ(extract(b.write(dir / "symlink_escape.zip"), &report), KA_WARN_SKIPPED);
    EXPECT_FALSE(exists(out + "/up"));
    EXPECT_FALSE(exists(out + "/abs"));
    EXPECT_FALSE(exists(out + "/sub/deep"));
    char target[64] = {};
    ASSERT_GT(readlink((out + "/fine").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "sub/../good.txt");
}

TEST_F(ZipHostile, NamesClimbingThroughALinkAreRefused) {
    // The archive's own link stays inside, but nothing is written through it; nor
    // through a link that was already in the destination.
    mkdir(out.c_str(), 0755);
    mkdir((dir / "elsewhere").c_str(), 0755);
    ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (out + "/planted").c_str()), 0);
    ZipBuilder b;
    b.file("real/keep.txt", "k");
    b.unixEntry("ln", "real", 0120777);
    b.file("ln/through.txt", "x");
    b.file("planted/through.txt", "x");
    EXPECT_EQ(extract(b.write(dir / "through_link.zip")), KA_WARN_SKIPPED);
    EXPECT_EQ(listTree(dir / "elsewhere"), std::vector<std::string>{});
    EXPECT_EQ(listTree(out + "/real"), std::vector<std::string>{"keep.txt"});
}

TEST_F(ZipHostile, ReplacingAPlantedLinkNeverWritesThroughIt) {
    mkdir(out.c_str(), 0755);
    writeFile(dir / "victim.txt", "precious");
    ASSERT_EQ(symlink((dir / "victim.txt").c_str(), (out + "/a.txt").c_str()), 0);
    ZipBuilder b;
    b.file("a.txt", "from the archive");
    EXPECT_EQ(extract(b.write(dir / "planted_link.zip")), KA_WARN_SKIPPED) << "kept without a host";
    EXPECT_EQ(runUnZip(nullptr, "-x -o \"" + dir / "planted_link.zip" + "\" \"" + out + "/\" \"*.*\""),
              KA_OK);
    EXPECT_EQ(readFile(dir / "victim.txt"), "precious");
    EXPECT_EQ(readFile(out + "/a.txt"), "from the archive");
}

TEST_F(ZipHostile, TruncatedArchiveIsNotAnArchive) {
    ZipBuilder b;
    b.file("a.txt", std::string(4000, 'a'), true).file("b.txt", "b");
    const std::string bytes = b.bytes();
    writeFile(dir / "truncated.zip", bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ(extract(dir / "truncated.zip"), KA_ERR_NOT_ARCHIVE);
    EXPECT_EQ(UnZipOpenArchive(nullptr, (dir / "truncated.zip").c_str(), 0), nullptr);
    EXPECT_FALSE(exists(out + "/a.txt"));
}

TEST_F(ZipHostile, TruncatedEntryDataIsDamaged) {
    // The directory claims more compressed data than the file holds before it.
    ZipBuilder b;
    b.file("a.txt", std::string(20000, 'q') + "tail", true);
    std::string bytes = b.bytes();
    const size_t data = b.dataOffset(0);
    const size_t central = bytes.find("PK\x01\x02");
    bytes.erase(data + 4, central - data - 4);
    // Move the central directory's offset back by what was cut.
    const uint32_t newOffset = static_cast<uint32_t>(data + 4);
    std::memcpy(&bytes[bytes.size() - 6], &newOffset, 4);
    writeFile(dir / "truncated_data.zip", bytes);
    const int r = extract(dir / "truncated_data.zip");
    EXPECT_TRUE(r == KA_ERR_DAMAGED || r == KA_ERR_NOT_ARCHIVE) << std::hex << r;
    EXPECT_EQ(listTree(dir.path()).size(), r == KA_ERR_DAMAGED ? 2u : 1u);
    EXPECT_FALSE(exists(out + "/a.txt"));
}

TEST_F(ZipHostile, BitFlippedDataIsDamagedAndLeavesNoFile) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(i);
    ZipBuilder b;
    b.file("flip.txt", text, true).file("good.txt", "fine");
    std::string bytes = b.bytes();
    bytes[b.dataOffset(0) + 40] ^= 0x10;
    writeFile(dir / "bit_flipped.zip", bytes);
    std::string report;
    EXPECT_EQ(extract(dir / "bit_flipped.zip", &report), KA_ERR_DAMAGED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{"good.txt"}) << report;
}

TEST_F(ZipHostile, WrongCrcIsDamaged) {
    ZipBuilderEntry e;
    e.name = "crc.txt";
    e.data = "some text";
    e.declaredCrc = 0x12345678;
    ZipBuilder b;
    b.add(e);
    EXPECT_EQ(extract(b.write(dir / "bad_crc.zip")), KA_ERR_DAMAGED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{});
}

TEST_F(ZipHostile, BombWithLyingSmallSizeIsStopped) {
    // 8 MB of zeros deflate to a few kilobytes; the headers claim 1000 bytes.
    ZipBuilderEntry e;
    e.name = "bomb.bin";
    e.data = std::string(8 << 20, '\0');
    e.deflate = true;
    e.declaredSize = 1000;
    ZipBuilder b;
    b.add(e);
    EXPECT_EQ(extract(b.write(dir / "lying_size.zip")), KA_ERR_DAMAGED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{});
}

TEST_F(ZipHostile, LyingLargeSizeIsDamaged) {
    ZipBuilderEntry e;
    e.name = "short.bin";
    e.data = std::string(5000, 'x');
    e.deflate = true;
    e.declaredSize = 900000;
    ZipBuilder b;
    b.add(e);
    EXPECT_EQ(extract(b.write(dir / "lying_large_size.zip")), KA_ERR_DAMAGED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{});
}

TEST_F(ZipHostile, RandomDamageNeverCrashes) {
    // A sanitizer build turns any wild read or write here into a failure.
    ZipBuilder b;
    b.file("a.txt", std::string(3000, 'a') + "xyz", true).file("dir/b.txt", "bbbb");
    b.unixEntry("ln", "a.txt", 0120777);
    const std::string good = b.bytes();
    std::mt19937 random(1234);
    for (int round = 0; round < 150; ++round) {
        std::string bytes = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        const std::string path = dir / "fuzz.zip";
        writeFile(path, bytes);
        if (void* archive = UnZipOpenArchive(nullptr, path.c_str(), 0)) {
            EntryInfo e;
            for (int r = UnZipFindFirst(archive, "*.*", &e); r == 0; r = UnZipFindNext(archive, &e)) {
                ASSERT_NE(std::memchr(e.name, '\0', sizeof e.name), nullptr);
            }
            UnZipCloseArchive(archive);
        }
        const std::string dest = dir / ("f" + std::to_string(round));
        runUnZip(nullptr, "-x \"" + path + "\" \"" + dest + "/\" \"*.*\"");
    }
    EXPECT_FALSE(exists(dir / "a.txt"));
}

}  // namespace
}  // namespace kestrel::test
