#include <gtest/gtest.h>

#include <algorithm>

#include "LzhArchive.h"
#include "UnlhaTestSupport.h"

using kestrel::lzh::LzhArchive;

namespace {

// The raw bytes (header and data) of each entry, by listed name.
std::map<std::string, std::string> rawEntries(const std::string& path) {
    std::map<std::string, std::string> out;
    LzhArchive archive;
    if (archive.open(path) != LzhArchive::Status::Ok) return out;
    for (const auto& e : archive.entries()) {
        std::string bytes(e.rawLength(), '\0');
        archive.readAt(e.headerOffset, bytes.data(), bytes.size());
        out[e.displayName()] = bytes;
    }
    return out;
}

class UnlhaEdit : public ::testing::Test {
protected:
    void SetUp() override {
        src.write("a.txt", "alpha");
        src.write("b.txt", "bravo");
        src.write("dir/c.txt", "charlie");
        src.write("dir/d.txt", "delta");
        archive = work / "e.lzh";
        ASSERT_EQ(unlha("a -x1 -r2 " + q(archive) + " " + q(src.path() + "/") + " \"*.*\"").code, KA_OK);
        before = rawEntries(archive);
        ASSERT_EQ(before.size(), 5u);
    }
    TempDir src, work;
    std::string archive;
    std::map<std::string, std::string> before;
};

}  // namespace

TEST_F(UnlhaEdit, DeleteKeepsTheOtherEntriesByteForByte) {
    auto r = unlha("d -jyd- " + q(archive) + " \"b.txt\" \"dir\\c.txt\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    auto after = rawEntries(archive);
    EXPECT_EQ(after.size(), 3u);
    for (const auto& [name, bytes] : after) EXPECT_EQ(bytes, before[name]) << name;
    EXPECT_FALSE(after.count("b.txt"));
    // Nothing matching: the archive is not touched at all.
    std::string bytes = TempDir::read(archive);
    EXPECT_EQ(unlha("d " + q(archive) + " \"zzz\"").code, KA_ERR_NO_MATCH);
    EXPECT_EQ(TempDir::read(archive), bytes);
    EXPECT_EQ(tree(work.path()), (std::vector<std::string>{"e.lzh"}));
}

TEST_F(UnlhaEdit, AnEntryNamedLikeAWildcardIsTakenLiterally) {
    // Names with '*' or '?' are legal on Linux; the viewer passes them as listed.
    src.write("w/a*b.txt", "star");
    src.write("w/aXb.txt", "plain");
    ASSERT_EQ(unlha("a -x1 -r2 " + q(archive) + " " + q(src.path() + "/") + " \"w/*.*\"").code, KA_OK);
    auto r = unlha("x -a1 -m0 -x1 " + q(archive) + " " + q(work / "out/") + " \"w/a*b.txt\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_TRUE(std::filesystem::exists(work / "out/w/a*b.txt"));
    EXPECT_FALSE(std::filesystem::exists(work / "out/w/aXb.txt"));
    r = unlha("d -jyd- " + q(archive) + " \"w/a*b.txt\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    auto names = listNames(archive);
    EXPECT_EQ(std::count(names.begin(), names.end(), "w/aXb.txt"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "w/a*b.txt"), 0);
    // With no entry of that exact name it is still a wildcard.
    r = unlha("e -a1 -m0 " + q(archive) + " " + q(work / "flat/") + " \"w/a?b.txt\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_TRUE(std::filesystem::exists(work / "flat/aXb.txt"));
}

TEST_F(UnlhaEdit, AddReplacesAnEntryOfTheSameNameWhereItStands) {
    src.write("b.txt", "bravo, second edition");
    auto r = unlha("a " + q(archive) + " " + q(src / "b.txt"));
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(archive), (std::vector<std::string>{"a.txt", "b.txt", "dir/", "dir/c.txt", "dir/d.txt"}));
    auto after = rawEntries(archive);
    for (const char* same : {"a.txt", "dir/", "dir/c.txt", "dir/d.txt"}) EXPECT_EQ(after[same], before[same]);
    ASSERT_EQ(unlha("x " + q(archive) + " " + q(work / "out/") + " \"b.txt\"").code, KA_OK);
    EXPECT_EQ(TempDir::read(work / "out/b.txt"), "bravo, second edition");
}

TEST_F(UnlhaEdit, RenameAsksTheHostAndKeepsTheData) {
    ScriptedHost host;
    host.texts = {"renamed/alpha.txt"};
    auto r = unlha("n " + q(archive) + " \"a.txt\"", host.window());
    ASSERT_EQ(r.code, KA_OK) << r.output;
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(listNames(archive),
              (std::vector<std::string>{"renamed/alpha.txt", "b.txt", "dir/", "dir/c.txt", "dir/d.txt"}));
    auto after = rawEntries(archive);
    for (const char* same : {"b.txt", "dir/", "dir/c.txt", "dir/d.txt"}) EXPECT_EQ(after[same], before[same]);
    ASSERT_EQ(unlha("x " + q(archive) + " " + q(work / "out/")).code, KA_OK);
    EXPECT_EQ(TempDir::read(work / "out/renamed/alpha.txt"), "alpha");
}

TEST_F(UnlhaEdit, RenamingAFolderMovesItsEntries) {
    ScriptedHost host;
    host.texts = {"フォルダ/"};
    ASSERT_EQ(unlha("n " + q(archive) + " \"dir/\"", host.window()).code, KA_OK);
    EXPECT_EQ(listNames(archive),
              (std::vector<std::string>{"a.txt", "b.txt", "フォルダ/", "フォルダ/c.txt", "フォルダ/d.txt"}));
}

TEST_F(UnlhaEdit, RenameThatCannotHappenLeavesTheArchiveAlone) {
    std::string bytes = TempDir::read(archive);
    ScriptedHost cancel;
    cancel.texts = {std::nullopt};
    EXPECT_EQ(unlha("n " + q(archive) + " \"a.txt\"", cancel.window()).code, KA_ERR_CANCELLED);
    EXPECT_EQ(unlha("n " + q(archive) + " \"a.txt\"").code, KA_ERR_CANCELLED);  // nobody to ask
    ScriptedHost empty;
    empty.texts = {""};
    EXPECT_EQ(unlha("n " + q(archive) + " \"a.txt\"", empty.window()).code, KA_ERR_CANCELLED);
    ScriptedHost clash;
    clash.texts = {"b.txt"};
    EXPECT_EQ(unlha("n " + q(archive) + " \"a.txt\"", clash.window()).code, KA_ERR_USAGE);
    ScriptedHost escape;
    escape.texts = {"../../etc/passwd"};
    EXPECT_EQ(unlha("n " + q(archive) + " \"a.txt\"", escape.window()).code, KA_ERR_USAGE);
    EXPECT_EQ(unlha("n " + q(archive) + " \"nope.txt\"").code, KA_ERR_NO_MATCH);
    EXPECT_EQ(TempDir::read(archive), bytes);
    EXPECT_EQ(tree(work.path()), (std::vector<std::string>{"e.lzh"}));
}

TEST_F(UnlhaEdit, OldLevelEntriesGetALevel2HeaderWhenRenamed) {
    // A level-1 entry as other tools write it ("ABABABABAB", -lh5-).
    std::string level1 = hexBytes(
        "1F 48 2D 6C 68 35 2D 10 00 00 00 0A 00 00 00 54 63 2D 51 20 01 06 61 62 2E 74 78 74 AF 1D 4D 05 00 40 20 "
        "00 00 00 00 03 28 08 46 0D 0B 49 5D 80 D8 00");
    std::string old = work.write("old.lzh", level1);
    ScriptedHost host;
    host.texts = {"new.txt"};
    ASSERT_EQ(unlha("n " + q(old) + " \"ab.txt\"", host.window()).code, KA_OK);
    LzhArchive archive;
    ASSERT_EQ(archive.open(old), LzhArchive::Status::Ok);
    ASSERT_EQ(archive.entries().size(), 1u);
    EXPECT_EQ(archive.entries()[0].level, 2);
    EXPECT_EQ(archive.entries()[0].dosTime.date, 0x512D);  // the time survives the change of level
    ASSERT_EQ(unlha("x " + q(old) + " " + q(work / "o/")).code, KA_OK);
    EXPECT_EQ(TempDir::read(work / "o/new.txt"), "ABABABABAB");
}

TEST_F(UnlhaEdit, SelfExtractingProgramIsWrittenNextToNothingElse) {
    std::string list = work.write("list.txt", "\"b.txt\"\r\n");
    auto r = unlha("s -a1 -m0 -x1 -gwj1 " + q(archive) + " " + q(work / "sfx/") + " " + q("@" + list));
    EXPECT_EQ(r.code, KA_ERR_WRITE);  // the destination folder must exist
    std::filesystem::create_directory(work / "sfx");
    r = unlha("s -a1 -m0 -x1 -gwj1 " + q(archive) + " " + q(work / "sfx/") + " " + q("@" + list));
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(tree(work / "sfx"), (std::vector<std::string>{"e.run"}));  // no payload file left
    LzhArchive run;
    ASSERT_EQ(run.open(work / "sfx/e.run"), LzhArchive::Status::Ok);
    ASSERT_EQ(run.entries().size(), 1u);
    EXPECT_EQ(run.entries()[0].name, "b.txt");
    struct stat st;
    ASSERT_EQ(stat((work / "sfx/e.run").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    // An existing program is kept unless the host agrees.
    EXPECT_EQ(unlha("s " + q(archive) + " " + q(work / "sfx/") + " \"*.*\"").code, KA_WARN_SKIPPED);
    ASSERT_EQ(run.entries().size(), 1u);
}

TEST_F(UnlhaEdit, CancelledOrRefusedAdditionsLeaveTheArchiveAsItWas) {
    std::string bytes = TempDir::read(archive);
    src.write("big.txt", std::string(300000, 'b'));
    ScriptedHost host;
    host.cancelAfterBytes = 0;  // cancel at once
    auto r = unlha("a " + q(archive) + " " + q(src / "big.txt"), host.window());
    EXPECT_EQ(r.code, KA_ERR_CANCELLED);
    EXPECT_EQ(TempDir::read(archive), bytes);
    EXPECT_EQ(tree(work.path()), (std::vector<std::string>{"e.lzh"}));
    // An archive damaged after its first entries is not rewritten: the rest would be lost.
    std::string damaged = work.write("damaged.lzh", bytes.substr(0, bytes.size() - 4));
    r = unlha("a " + q(damaged) + " " + q(src / "big.txt"));
    EXPECT_EQ(r.code, KA_ERR_DAMAGED);
    EXPECT_EQ(TempDir::read(damaged), bytes.substr(0, bytes.size() - 4));
}
