// Our archives read by the peer tools, and theirs read by us, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "ForeignArchives.h"
#include "NameEncoding.h"
#include "PeerTool.h"
#include "UnlhaTestSupport.h"

namespace {

using kestrel::test::haveTool;

int sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string textSample(size_t n) {
    std::string s;
    std::mt19937 rng(7);
    const char* words[] = {"archive ", "header ", "folder ", "kestrel ", "日本語 ", "data\n", "CRC "};
    while (s.size() < n) s += words[rng() % 7];
    s.resize(n);
    return s;
}

// Sizes at the edges: empty, one byte, around the 64 KiB of the largest window.
class LzhInterop : public ::testing::Test {
protected:
    void SetUp() override {
        files = {{"empty.txt", ""},
                 {"one.bin", "Z"},
                 {"text.txt", textSample(200000)},
                 {"sub/k64.bin", textSample(65536)},
                 {"sub/k64plus.bin", textSample(65537)},
                 {"sub/deeper/k64minus.bin", textSample(65535)},
                 {"日本語フォルダ/ファイル.txt", "にほんご\n"}};
        for (const auto& [name, data] : files) src.write(name, data);
        std::filesystem::create_directories(src / "sub/empty");
    }
    // The name a tool that keeps the stored bytes writes on disk.
    static std::string storedName(const std::string& name) { return kestrel::arc::NameEncoding::toStored(name); }

    void expectSameFiles(const std::string& root, bool rawNames) {
        for (const auto& [name, data] : files) {
            std::string onDisk = rawNames ? storedName(name) : name;
            EXPECT_EQ(TempDir::read(root + "/" + onDisk), data) << name;
        }
        EXPECT_TRUE(std::filesystem::is_directory(root + "/sub/empty"));
    }

    std::map<std::string, std::string> files;
    TempDir src, work;
};

}  // namespace

TEST_F(LzhInterop, OurArchivesAreReadByLhasaBsdtarAnd7zz) {
    if (!haveTool("lhasa") || !haveTool("bsdtar") || !haveTool("7zz")) GTEST_SKIP() << "peer tools missing";
    for (const char* jm : {"-jm2", "-jm3", "-jm4"}) {
        SCOPED_TRACE(jm);
        std::string a = work / (std::string(jm) + ".lzh");
        auto r = unlha(std::string("a -x1 -r2 -a2 ") + jm + " " + q(a) + " " + q(src.path() + "/") + " \"*.*\"");
        ASSERT_EQ(r.code, KA_OK) << r.output;
        const char* method = std::string(jm) == "-jm2" ? "-lh5-" : std::string(jm) == "-jm3" ? "-lh6-" : "-lh7-";
        EXPECT_STREQ(listEntries(a, "text.txt").at(0).method, method);

        EXPECT_EQ(sh("lhasa t " + q(a)), 0);
        std::string out = work / (std::string("lhasa") + jm);
        std::filesystem::create_directories(out);
        ASSERT_EQ(sh("cd " + q(out) + " && lhasa x " + q(a)), 0);
        expectSameFiles(out, true);

        out = work / (std::string("bsdtar") + jm);
        std::filesystem::create_directories(out);
        ASSERT_EQ(sh("LC_ALL=C.UTF-8 bsdtar -xf " + q(a) + " -C " + q(out)), 0);
        expectSameFiles(out, false);

        out = work / (std::string("7zz") + jm);
        ASSERT_EQ(sh("7zz x -y -o" + q(out) + " " + q(a)), 0);
        expectSameFiles(out, true);
    }
}

TEST_F(LzhInterop, ArchivesWrittenByJlhaAreListedAndExtractedByUs) {
    if (!haveTool("jlha")) GTEST_SKIP() << "jlha missing";
    // Every header level and every method at least once (jlha takes ASCII names only here).
    files.erase("日本語フォルダ/ファイル.txt");
    std::string list = "empty.txt one.bin text.txt sub/k64.bin sub/k64plus.bin sub/deeper/k64minus.bin";
    for (const char* mode : {"a0o5", "a1o6", "a2o7"}) {
        SCOPED_TRACE(mode);
        std::string a = work / (std::string(mode) + ".lzh");
        ASSERT_EQ(sh("cd " + q(src.path()) + " && jlha " + mode + " " + q(a) + " " + list), 0);
        auto entries = listEntries(a);
        ASSERT_EQ(entries.size(), 6u);
        std::string method = std::string("-lh") + mode[3] + "-";
        bool sawMethod = false;
        for (const EntryInfo& e : entries) sawMethod |= method == e.method;
        EXPECT_TRUE(sawMethod);
        std::string out = work / mode;
        auto r = unlha("x " + q(a) + " " + q(out + "/"));
        ASSERT_EQ(r.code, KA_OK) << r.output;
        for (const auto& [name, data] : files) EXPECT_EQ(TempDir::read(out + "/" + name), data) << name;
    }
}

TEST_F(LzhInterop, LhasaReadsTheForeignSamplesAsWeDo) {
    if (!haveTool("lhasa")) GTEST_SKIP() << "lhasa missing";
    auto [data, packed] = foreign::lz5Stream(70000, false);
    std::string a = work.write("foreign.lzh", foreign::dosEntry(0, "-lz5-", "lz5.bin", data, packed) +
                                                  foreign::os9Entry("os9.txt", "os-9") + '\0');
    std::filesystem::create_directories(work / "lhasa");
    ASSERT_EQ(sh("cd " + q(work / "lhasa") + " && lhasa x " + q(a)), 0);
    ASSERT_EQ(unlha("x " + q(a) + " " + q(work / "ours/")).code, KA_OK);
    for (const char* tool : {"lhasa/", "ours/"}) {
        EXPECT_TRUE(TempDir::read(work / (tool + std::string("lz5.bin"))) == data) << tool;
        EXPECT_EQ(TempDir::read(work / (tool + std::string("os9.txt"))), "os-9") << tool;
    }
}
