// The command lines the window sends, as the window meets them: progress for the
// whole call, names with quotes through a list file, an archive inside the folder
// it packs, and listing records past the record's limits.
#include <gtest/gtest.h>

#include "UnlhaTestSupport.h"

using kestrel::test::progressFault;

namespace {

class UnlhaWindowCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // Several entries of several chunks each, so a per-entry count would run back.
        src.write("a.txt", std::string(200000, 'a'));
        src.write("b.bin", std::string(150000, 'b'));
        src.write("dir/c.txt", std::string(180000, 'c'));
        archive = work / "w.lzh";
        ASSERT_EQ(unlha("a -x1 -r2 " + q(archive) + " " + q(src.path() + "/") + " \"*.*\"").code, KA_OK);
    }
    TempDir src, work;
    std::string archive;
};

}  // namespace

TEST_F(UnlhaWindowCommands, EveryCommandReportsTheWholeCallWithoutRunningBack) {
    const std::string out = q(work / "out/");
    const std::string list = work.write("list.txt", "\"a.txt\"\r\n\"dir/c.txt\"\r\n");
    struct Call {
        std::string line;
        int answer;  // to a question the command may ask
    } calls[] = {
        {"a -x1 -r2 -jm4 " + q(work / "new.lzh") + " " + q(src.path() + "/") + " \"*.*\"", KH_YES},
        {"x -a1 -m0 -x1 " + q(archive) + " " + out + " \"*.*\"", KH_YES_TO_ALL},
        {"e -a1 -m0 " + q(archive) + " " + out + " \"*.*\"", KH_YES_TO_ALL},
        {"s -a1 -m0 -x1 -gwj1 " + q(archive) + " " + out + " \"*.*\"", KH_YES},
        {"s -a1 -m0 -x1 -gwj1 " + q(archive) + " " + out + " \"@" + list + "\"", KH_YES},
        {"n " + q(archive) + " \"b.bin\"", KH_YES},
        {"d -jyd- " + q(archive) + " \"a.txt\"", KH_YES},
    };
    for (const Call& call : calls) {
        ScriptedHost host;
        host.whenNoAnswer = call.answer;
        host.texts = {"renamed.bin"};
        auto r = unlha(call.line, host.window());
        EXPECT_EQ(r.code, KA_OK) << call.line << "\n" << r.output;
        EXPECT_FALSE(host.reports.empty()) << call.line;
        EXPECT_EQ(progressFault(host.reports), "") << call.line;
        if (!host.reports.empty()) {
            EXPECT_GT(host.reports.back().done, 0u) << call.line;
        }
    }
}

// On Linux a name may hold '"': it travels in a list file, between the line's
// first and last quote.
TEST_F(UnlhaWindowCommands, NamesWithQuotesGoThroughAListFile) {
    src.write("say \"hi\".txt", "quoted");
    const std::string added = work / "q.lzh";
    const std::string list = work.write("add.txt", "\"say \"hi\".txt\"\r\n");
    auto r = unlha("a -x1 " + q(added) + " " + q(src.path() + "/") + " \"@" + list + "\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(added), std::vector<std::string>{"say \"hi\".txt"});
    r = unlha("x -a1 -m0 -x1 " + q(added) + " " + q(work / "out/") + " \"@" + list + "\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(TempDir::read(work / "out/say \"hi\".txt"), "quoted");
}

TEST_F(UnlhaWindowCommands, AnArchiveInsideTheFolderItPacksIsLeftOut) {
    const std::string inside = src / "inner.lzh";
    for (int round = 0; round < 2; ++round) {  // new, then replacing its own older self
        auto r = unlha("a -x1 -r2 " + q(inside) + " " + q(src.path() + "/") + " \"*.*\"");
        ASSERT_EQ(r.code, KA_OK) << r.output;
        auto names = listNames(inside);
        EXPECT_EQ(std::count(names.begin(), names.end(), "inner.lzh"), 0) << "round " << round;
        EXPECT_EQ(std::count_if(names.begin(), names.end(),
                                [](const std::string& n) { return n.find(".kes-") != std::string::npos; }),
                  0);
        EXPECT_EQ(names.size(), 4u) << "a.txt b.bin dir/ dir/c.txt";
    }
}

TEST_F(UnlhaWindowCommands, ListingCarriesSizesPast2GiBAndMarksCutNames) {
    kestrel::lzh::LzhEntry big;
    big.method = "-lh5-";
    big.storedPath = "big.iso";
    big.originalSize = (uint64_t{3} << 30) + 5;
    big.compressedSize = 4;
    big.mtime = 1600000000;
    auto header = kestrel::lzh::LzhHeaderWriter::level2(big);
    ASSERT_TRUE(header);
    std::string bytes(reinterpret_cast<const char*>(header->data()), header->size());
    bytes += std::string(4, '\0');
    std::string longName = std::string(300, 'x') + "/" + std::string(250, 'y') + ".txt";
    bytes += makeArchiveBytes({MadeEntry(longName, "data")});
    const std::string path = work.write("big.lzh", bytes);

    auto entries = listEntries(path);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(EntryInfoSize(&entries[0]), (int64_t{3} << 30) + 5);
    EXPECT_EQ(entries[0].flags & ENTRY_FLAG_NAME_CUT, 0u);
    EXPECT_NE(entries[1].flags & ENTRY_FLAG_NAME_CUT, 0u);
    EXPECT_EQ(std::string(entries[1].name), longName.substr(0, 512));
}
