// Damaged and hostile cabinets: error results, no crash, nothing written outside
// the destination and no half-written file inside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "CabTestSupport.h"
#include "SafePath.h"

using cabtest::CabRun;
using cabtest::runCab;
using cabtest::TempDir;

namespace {

std::string q(const std::string& s) { return "\"" + s + "\""; }

// A valid MSZIP cabinet of two files to damage.
std::string goodCabinet(const TempDir& dir, const std::string& name = "good.cab") {
    EXPECT_EQ(cabtest::writeCabinet(dir / name,
                                    {{"ok.txt", cabtest::sampleData(40000, 7, true)}, {"two.bin", "0123456789"}},
                                    {}, dir),
              0);
    return cabtest::readFile(dir / name);
}

int extractAll(const std::string& cab, const std::string& dest) {
    return runCab("-x " + q(cab) + " " + q(dest) + " \"*.*\"").result;
}

bool listable(const std::string& cab) {
    void* h = CabOpenArchive(nullptr, cab.c_str(), 0);
    if (!h) return false;
    EntryInfo e{};
    for (int rc = CabFindFirst(h, "*.*", &e); rc == 0; rc = CabFindNext(h, &e)) {
    }
    CabCloseArchive(h);
    return true;
}

}  // namespace

TEST(CabHostile, RootedNamesLandInsideAndDotDotIsRefused) {
    // Some writers store the root on purpose: it is dropped (once said), ".." is not.
    TempDir dir;
    const std::string rooted = dir / "abs.txt";
    ASSERT_EQ(cabtest::writeCabinet(dir / "dotdot.cab",
                                    {{"..\\evil.txt", "x"}, {"a\\..\\..\\evil2.txt", "x"}, {"\\..\\up.txt", "x"},
                                     {rooted, "r"}, {"C:\\win\\c.txt", "c"}, {"\\docs\\d.txt", "d"},
                                     {"ok.txt", "fine"}},
                                    {}, dir),
              0);
    ::mkdir((dir / "dest").c_str(), 0777);
    CabRun r = runCab("-x " + q(dir / "dotdot.cab") + " " + q(dir / "dest/") + " \"*.*\"");
    EXPECT_EQ(r.result, KA_WARN_SKIPPED);
    EXPECT_NE(r.output.find("evil.txt"), std::string::npos);
    EXPECT_EQ(cabtest::readFile(dir / "dest/ok.txt"), "fine");
    EXPECT_EQ(cabtest::readFile(dir / ("dest" + rooted)), "r");
    EXPECT_EQ(cabtest::readFile(dir / "dest/win/c.txt"), "c");
    EXPECT_EQ(cabtest::readFile(dir / "dest/docs/d.txt"), "d");
    for (const char* name : {"abs.txt", "evil.txt", "evil2.txt", "up.txt", "dest/up.txt"})
        EXPECT_FALSE(cabtest::exists(dir / name)) << name;
    const std::string note = kestrel::arc::SafePath::rootDroppedNote();
    const size_t at = r.output.find(note);
    EXPECT_NE(at, std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(note, at + 1), std::string::npos) << r.output;
    // -j keeps only the last component, so these land safely inside.
    CabRun flat = runCab("-x -j " + q(dir / "dotdot.cab") + " " + q(dir / "flat/") + " \"*.*\"");
    EXPECT_EQ(flat.result, KA_OK) << flat.output;
    EXPECT_TRUE(cabtest::exists(dir / "flat/evil.txt"));
}

TEST(CabHostile, FoldersThroughSymbolicLinksAreRefused) {
    TempDir dir, outside;
    ASSERT_EQ(cabtest::writeCabinet(dir / "link.cab", {{"sub\\x.txt", "x"}}, {}, dir), 0);
    ::mkdir((dir / "dest").c_str(), 0777);
    ASSERT_EQ(::symlink(outside.path().c_str(), (dir / "dest/sub").c_str()), 0);
    EXPECT_EQ(extractAll(dir / "link.cab", dir / "dest/"), KA_WARN_SKIPPED);
    EXPECT_TRUE(outside.files().empty());
}

TEST(CabHostile, TruncatedAndForeignFilesAreNotArchives) {
    TempDir dir;
    std::string good = goodCabinet(dir);
    cabtest::writeFile(dir / "partial_header.cab", good.substr(0, 20));
    cabtest::writeFile(dir / "not_a_cab.cab", cabtest::sampleData(4000, 3, false));
    cabtest::writeFile(dir / "empty.cab", "");
    for (const char* name : {"partial_header.cab", "not_a_cab.cab", "empty.cab"}) {
        EXPECT_EQ(extractAll(dir / name, dir / "out/"), KA_ERR_NOT_ARCHIVE) << name;
        EXPECT_FALSE(listable(dir / name)) << name;
    }
    EXPECT_EQ(extractAll(dir / "no_such.cab", dir / "out/"), KA_ERR_OPEN);
    EXPECT_FALSE(cabtest::exists(dir / "out/ok.txt"));
}

TEST(CabHostile, DamagedDataGivesAnErrorAndNoHalfFile) {
    TempDir dir;
    std::string good = goodCabinet(dir);
    std::string bad = good;
    bad[bad.size() - 100] ^= 0x20;  // inside the last data block
    cabtest::writeFile(dir / "bad_checksum.cab", bad);
    cabtest::writeFile(dir / "truncated_data.cab", good.substr(0, good.size() - 300));
    for (const char* name : {"bad_checksum.cab", "truncated_data.cab"}) {
        TempDir out;
        EXPECT_EQ(extractAll(dir / name, out.path() + "/"), KA_ERR_DAMAGED) << name;
        for (const std::string& f : out.files()) EXPECT_EQ(f, "two.bin") << name << ": half-written file left";
        EXPECT_TRUE(listable(dir / name)) << "the header is intact";
    }
}

TEST(CabHostile, HostileSetNamesStayInTheFolder) {
    TempDir dir;
    kestrel::arc::cab::CabWriteOptions options;
    options.volumeLimit = 2048;
    ASSERT_EQ(cabtest::writeCabinet(dir / "s.cab", {{"f.txt", cabtest::sampleData(20000, 9, false)}}, options, dir), 0);
    std::string first = cabtest::readFile(dir / "s1.cab");
    size_t at = first.find("s2.cab");
    ASSERT_NE(at, std::string::npos);
    first.replace(at, 6, "/a/s1.");  // a next name with a path, pointing back at itself
    cabtest::writeFile(dir / "s1.cab", first);
    cabtest::writeFile(dir / "s1.", "not a cabinet");
    CabRun r = runCab("-x -k " + q(dir / "s1.cab") + " " + q(dir / "out/") + " \"*.*\"");
    EXPECT_EQ(r.result, KA_ERR_MISSING_VOLUME) << r.output;
}

// Every single-bit change in the headers and some in the data: an answer, never a
// crash, and nothing outside the destination.
TEST(CabHostile, BitFlipsNeverCrash) {
    TempDir dir;
    std::string good = goodCabinet(dir);
    std::vector<size_t> positions;
    for (size_t i = 0; i < 90 && i < good.size(); ++i) positions.push_back(i);
    for (size_t i = 90; i < good.size(); i += good.size() / 20) positions.push_back(i);
    for (size_t pos : positions) {
        for (int bit : {0, 7}) {
            std::string bad = good;
            bad[pos] ^= static_cast<char>(1 << bit);
            cabtest::writeFile(dir / "flip.cab", bad);
            TempDir out;
            int rc = extractAll(dir / "flip.cab", out.path() + "/");
            listable(dir / "flip.cab");
            EXPECT_TRUE(rc == KA_OK || rc == KA_WARN_SKIPPED || rc >= 0x8000) << pos;
        }
    }
    std::vector<std::string> left = dir.files();
    for (const std::string& f : left)
        EXPECT_TRUE(f == "good.cab" || f == "flip.cab" || f.rfind("in", 0) == 0) << f;
}
