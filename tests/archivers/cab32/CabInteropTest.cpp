// Interop with the peer tools: cabinets we write are tested and extracted
// byte-exact by cabextract, and read by 7zz, gcab and bsdtar where they read that kind;
// cabinets gcab writes are listed and extracted byte-exact by us.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CabTestSupport.h"

using cabtest::quote;
using cabtest::runCab;
using cabtest::runTool;
using cabtest::TempDir;

namespace {

std::string q(const std::string& s) { return "\"" + s + "\""; }

// Files that exercise the coders: frame and block edges, empty files, Japanese
// names, and x86-64 machine code for the E8 translation.
void makeSources(const TempDir& dir) {
    cabtest::writeFile(dir / "src/text.txt", cabtest::sampleData(200000, 1, true));
    cabtest::writeFile(dir / "src/edge/32767.bin", cabtest::sampleData(32767, 2, false));
    cabtest::writeFile(dir / "src/edge/32768.txt", cabtest::sampleData(32768, 3, true));
    cabtest::writeFile(dir / "src/edge/32769.txt", cabtest::sampleData(32769, 4, true));
    cabtest::writeFile(dir / "src/edge/65536.bin", cabtest::sampleData(65536, 5, false));
    cabtest::writeFile(dir / "src/empty", "");
    cabtest::writeFile(dir / "src/日本語フォルダ/ファイル.txt", "中身です\n");
    std::string code = cabtest::readFile("/bin/ls");
    if (code.empty()) code = cabtest::sampleData(100000, 6, false);
    cabtest::writeFile(dir / "src/ls.bin", code);
}

void expectCabextractExact(const std::string& firstCab, const TempDir& dir, const std::string& outName) {
    std::string log;
    EXPECT_EQ(runTool("cabextract -t " + quote(firstCab), &log), 0) << log;
    EXPECT_EQ(log.find("failed"), std::string::npos) << log;
    EXPECT_EQ(runTool("cabextract -q -d " + quote(dir / outName) + " " + quote(firstCab), &log), 0) << log;
    EXPECT_EQ(runTool("diff -r " + quote(dir / "src") + " " + quote(dir / outName), &log), 0) << log;
}

class CabInterop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cabtest::haveTool("cabextract")) GTEST_SKIP() << "cabextract is not installed";
        makeSources(dir);
    }
    TempDir dir;
};

}  // namespace

TEST_F(CabInterop, OurMsZipAndLzxCabinetsAreReadByEveryPeer) {
    for (const std::string method : {"-mz", "-ml:15", "-ml:16", "-ml:18", "-ml:21"}) {
        SCOPED_TRACE(method);
        std::string cab = dir / ("m" + method.substr(1, 2) + method.substr(method.size() - 2) + ".cab");
        auto made = runCab("-a -r " + method + " " + q(cab) + " " + q(dir / "src/") + " \"*.*\"");
        ASSERT_EQ(made.result, KA_OK) << made.output;
        expectCabextractExact(cab, dir, "out" + method);
        std::string log;
        if (cabtest::haveTool("7zz")) {
            // 7-Zip's test only decodes (cabinets carry no CRC): compare what it writes.
            std::string out = dir / ("7z" + method);
            EXPECT_EQ(runTool("7zz x -y -o" + quote(out) + " " + quote(cab), &log), 0) << log;
            EXPECT_EQ(runTool("diff -r " + quote(dir / "src") + " " + quote(out), &log), 0) << log;
        }
        if (cabtest::haveTool("gcab")) {
            std::string out = dir / ("gcab" + method);
            EXPECT_EQ(runTool("mkdir -p " + quote(out) + " && gcab -x -C " + quote(out) + " " + quote(cab), &log), 0) << log;
            EXPECT_EQ(runTool("diff -r " + quote(dir / "src") + " " + quote(out), &log), 0) << log;
        }
        if (cabtest::haveTool("bsdtar")) {
            EXPECT_EQ(runTool("mkdir -p " + quote(dir / ("bsd" + method)) + " && bsdtar -xf " + quote(cab) +
                                  " -C " + quote(dir / ("bsd" + method)), &log), 0) << log;
            EXPECT_EQ(runTool("diff -r " + quote(dir / "src") + " " + quote(dir / ("bsd" + method)), &log), 0) << log;
        }
    }
}

TEST_F(CabInterop, ACabinetOfOneEmptyFile) {
    cabtest::writeFile(dir / "zero/nothing", "");
    std::string cab = dir / "zero.cab";
    ASSERT_EQ(runCab("-a " + q(cab) + " " + q(dir / "zero/") + " \"nothing\"").result, KA_OK);
    std::string log;
    EXPECT_EQ(runTool("cabextract -t " + quote(cab), &log), 0) << log;
    if (cabtest::haveTool("7zz")) {
        EXPECT_EQ(runTool("7zz t " + quote(cab), &log), 0) << log;
    }
}

TEST_F(CabInterop, SetsOfSeveralCabinetsWithSpanningFiles) {
    for (const std::string method : {"-mz", "-ml:21"}) {
        SCOPED_TRACE(method);
        TempDir sets;
        std::string stem = sets / "disk.cab";
        auto made = runCab("-a -r " + method + " -v:60 " + q(stem) + " " + q(dir / "src/") + " \"*.*\"");
        ASSERT_EQ(made.result, KA_OK) << made.output;
        ASSERT_TRUE(cabtest::exists(sets / "disk3.cab")) << "expected three or more cabinets";
        expectCabextractExact(sets / "disk1.cab", dir, "set" + method);
        std::string log;
        if (cabtest::haveTool("7zz")) {
            EXPECT_EQ(runTool("7zz t " + quote(sets / "disk1.cab"), &log), 0) << log;
            EXPECT_NE(log.find("Volumes"), std::string::npos) << log;
            std::string out = dir / ("7zset" + method);
            EXPECT_EQ(runTool("7zz x -y -o" + quote(out) + " " + quote(sets / "disk1.cab"), &log), 0) << log;
            EXPECT_EQ(runTool("diff -r " + quote(dir / "src") + " " + quote(out), &log), 0) << log;
        }
    }
}

TEST(CabInteropGcab, GcabCabinetsAreListedAndExtractedExactly) {
    if (!cabtest::haveTool("gcab")) GTEST_SKIP() << "gcab is not installed";
    TempDir dir;
    cabtest::writeFile(dir / "in/a.txt", cabtest::sampleData(80000, 11, true));
    cabtest::writeFile(dir / "in/sub/r.bin", cabtest::sampleData(40000, 12, false));
    for (const std::string flag : {"", "-z"}) {
        SCOPED_TRACE("gcab " + flag);
        std::string cab = dir / ("g" + flag + ".cab");
        std::string log;
        ASSERT_EQ(runTool("cd " + quote(dir / "in") + " && gcab -c " + flag + " " + quote(cab) + " a.txt sub/r.bin", &log), 0)
            << log;
        void* h = CabOpenArchive(nullptr, cab.c_str(), 0);
        ASSERT_NE(h, nullptr);
        EntryInfo e{};
        std::vector<std::string> names;
        for (int rc = CabFindFirst(h, "*.*", &e); rc == 0; rc = CabFindNext(h, &e)) names.push_back(e.name);
        CabCloseArchive(h);
        EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "sub/r.bin"}));
        std::string out = dir / ("out" + flag + "/");
        auto r = runCab("-x " + q(cab) + " " + q(out) + " \"*.*\"");
        ASSERT_EQ(r.result, KA_OK) << r.output;
        EXPECT_EQ(cabtest::readFile(out + "a.txt"), cabtest::readFile(dir / "in/a.txt"));
        EXPECT_EQ(cabtest::readFile(out + "sub/r.bin"), cabtest::readFile(dir / "in/sub/r.bin"));
    }
}

// Sets of seeded random shapes (sizes on and around block edges, empty files,
// long names, tiny volumes, both methods): cabextract must give back every file.
TEST(CabInteropRandomSets, EveryShapeExtractsExactly) {
    if (!cabtest::haveTool("cabextract")) GTEST_SKIP() << "cabextract is not installed";
    std::mt19937 random(20261207);
    const size_t sizes[] = {0, 1, 100, 32767, 32768, 32769, 65536};
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TempDir dir;
        std::vector<std::pair<std::string, std::string>> files;
        int count = 1 + random() % 7;
        for (int i = 0; i < count; ++i) {
            size_t size = random() % 3 == 0 ? 0 : random() % 2 ? sizes[random() % 7] : random() % 120000;
            std::string name = "f" + std::to_string(i);
            if (random() % 4 == 0) name += "_" + std::string(random() % 120, 'n');
            files.push_back({name, cabtest::sampleData(size, random(), random() % 2)});
        }
        kestrel::arc::cab::CabWriteOptions options;
        options.method = random() % 2 ? kestrel::arc::cab::CabMethod::Lzx : kestrel::arc::cab::CabMethod::MsZip;
        options.lzxWindowBits = 15 + random() % 7;
        options.volumeLimit = (1 + random() % 12) * 1024;
        ASSERT_EQ(cabtest::writeCabinet(dir / "s.cab", files, options, dir), 0);
        std::string log;
        ASSERT_EQ(runTool("cabextract -q -d " + quote(dir / "out") + " " + quote(dir / "s1.cab"), &log), 0) << log;
        for (const auto& [name, data] : files) {
            EXPECT_TRUE(cabtest::exists(dir / ("out/" + name))) << name << " missing";
            EXPECT_TRUE(cabtest::readFile(dir / ("out/" + name)) == data) << name;
        }
    }
}
