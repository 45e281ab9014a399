#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "UnlhaTestSupport.h"

namespace {

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
}

class UnlhaCommand : public ::testing::Test {
protected:
    void SetUp() override {
        src.write("a.txt", "hello\n");
        src.write("empty", "");
        src.write("one", "1");
        src.write("docs/text.txt", std::string(70000, 'k'));  // crosses a 64 KiB boundary
        src.write("docs/rnd.bin", randomBytes(65536, 1));
        src.write("docs/日本語.txt", "にほんご");
        std::filesystem::create_directory(src / "docs/empty-folder");
        chmod((src / "one").c_str(), 0600);
        struct timespec times[2] = {{0, UTIME_OMIT}, {1500000000, 0}};
        utimensat(AT_FDCWD, (src / "a.txt").c_str(), times, 0);
        archive = work / "t.lzh";
    }
    TempDir src, work;
    std::string archive;
};

}  // namespace

TEST_F(UnlhaCommand, AddWithPathsFoldersAndAttributesThenExtractGivesTheSameTree) {
    auto r = unlha("a -x1 -r2 -a2 -jm2 " + q(archive) + " " + q(src.path() + "/") + " \"*.*\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(archive),
              (std::vector<std::string>{"a.txt", "docs/", "docs/empty-folder/", "docs/rnd.bin", "docs/text.txt",
                                        "docs/日本語.txt", "empty", "one"}));
    r = unlha("x -a1 -m0 -x1 " + q(archive) + " " + q(work / "out/") + " \"*.*\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(tree(work / "out"), tree(src.path()));
    for (const char* f : {"a.txt", "empty", "one", "docs/text.txt", "docs/rnd.bin", "docs/日本語.txt"})
        EXPECT_EQ(TempDir::read(work / "out/" + f), TempDir::read(src / f)) << f;
    struct stat st;
    ASSERT_EQ(stat((work / "out/one").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // -a1 restores permissions
    ASSERT_EQ(stat((work / "out/a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1500000000);  // times always restored
    // The report names what was stored.
    EXPECT_EQ(listEntries(archive, "empty")[0].ratio, 0);
}

TEST_F(UnlhaCommand, StoredNamesAndMethodsFollowTheOptions) {
    // Without -x1 only the bare name is kept; without -r2 no folders are walked.
    auto r = unlha("a " + q(archive) + " " + q(src.path() + "/") + " \"docs/*.*\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(archive), (std::vector<std::string>{"rnd.bin", "text.txt", "日本語.txt"}));
    auto entries = listEntries(archive);
    // Random bytes never get smaller: stored. Without -a2 the attribute is the default.
    EXPECT_STREQ(entries[0].method, "-lh0-");
    EXPECT_EQ(entries[0].ratio, 1000);
    EXPECT_STREQ(entries[0].attribute, "---A");
    // A relative target with no base folder is taken as given; -x1 keeps that path.
    std::string cwd = std::filesystem::current_path();
    std::filesystem::current_path(src.path());
    r = unlha("a -x1 " + q(work / "rel.lzh") + " \"docs/text.txt\"");
    std::filesystem::current_path(cwd);
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(work / "rel.lzh"), (std::vector<std::string>{"docs/text.txt"}));
}

TEST_F(UnlhaCommand, APickedEmptyFolderIsStoredAndComesBack) {
    // The window packs a picked folder as "folder/*.*" relative to its parent.
    auto r = unlha("a -x1 -r2 -a2 -jm2 " + q(archive) + " " + q(src / "docs/") + " \"empty-folder/*.*\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(archive), (std::vector<std::string>{"empty-folder/"}));
    r = unlha("x -a1 -m0 -x1 " + q(archive) + " " + q(work / "out/") + " \"*.*\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_TRUE(std::filesystem::is_directory(work / "out/empty-folder"));
}

TEST_F(UnlhaCommand, AbsoluteTargetWithoutBaseStoresTheFullPathWithoutSlash) {
    auto r = unlha("a -x1 " + q(archive) + " " + q(src / "a.txt"));
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(listNames(archive), (std::vector<std::string>{(src / "a.txt").substr(1)}));
}

TEST_F(UnlhaCommand, ListFileTargetsAndAttributesText) {
    std::string list = work.write("list.txt", "\"a.txt\"\r\n\"one\"\r\n");
    chmod((src / "one").c_str(), 0400);
    auto r = unlha("a -a2 " + q(archive) + " " + q(src.path() + "/") + " " + q("@" + list));
    ASSERT_EQ(r.code, KA_OK) << r.output;
    auto entries = listEntries(archive);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[1].name, "one");
    EXPECT_STREQ(entries[1].attribute, "R--A");
    // The list file is the caller's: it is still there.
    EXPECT_TRUE(std::filesystem::exists(list));
}

TEST_F(UnlhaCommand, ExtractWithoutFoldersAndChosenEntries) {
    ASSERT_EQ(unlha("a -x1 -r2 " + q(archive) + " " + q(src.path() + "/") + " \"*.*\"").code, KA_OK);
    auto r = unlha("e " + q(archive) + " " + q(work / "flat/") + " \"*.*\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(tree(work / "flat"), (std::vector<std::string>{"a.txt", "empty", "one", "rnd.bin", "text.txt",
                                                             "日本語.txt"}));
    r = unlha("x " + q(archive) + " " + q(work / "new/some/") + " \"docs/text.txt\" \"one\"");
    ASSERT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(tree(work / "new/some"), (std::vector<std::string>{"docs/", "docs/text.txt", "one"}));
    r = unlha("x " + q(archive) + " " + q(work / "none/") + " \"nothing.txt\"");
    EXPECT_EQ(r.code, KA_ERR_NO_MATCH);
    EXPECT_FALSE(std::filesystem::exists(work / "none"));
}

TEST_F(UnlhaCommand, ExistingFilesAreKeptUnlessTheHostSaysReplace) {
    ASSERT_EQ(unlha("a " + q(archive) + " " + q(src.path() + "/") + " \"a.txt\" \"one\"").code, KA_OK);
    work.write("out/a.txt", "mine");
    work.write("out/one", "mine too");
    // No host: nothing is asked, the user's files stay, and the result says so.
    auto r = unlha("x " + q(archive) + " " + q(work / "out/"));
    EXPECT_EQ(r.code, KA_WARN_SKIPPED);
    EXPECT_EQ(TempDir::read(work / "out/a.txt"), "mine");
    // Yes to all: asked once, both replaced.
    ScriptedHost host;
    host.answers = {KH_YES_TO_ALL};
    r = unlha("x -m0 " + q(archive) + " " + q(work / "out/"), host.window());
    EXPECT_EQ(r.code, KA_OK) << r.output;
    EXPECT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(TempDir::read(work / "out/a.txt"), "hello\n");
    EXPECT_EQ(TempDir::read(work / "out/one"), "1");
    // Cancel stops the command.
    work.write("out/a.txt", "again");
    ScriptedHost cancel;
    cancel.answers = {KH_CANCEL};
    r = unlha("x " + q(archive) + " " + q(work / "out/"), cancel.window());
    EXPECT_EQ(r.code, KA_ERR_CANCELLED);
    EXPECT_EQ(TempDir::read(work / "out/a.txt"), "again");
    EXPECT_EQ(tree(work / "out"), (std::vector<std::string>{"a.txt", "one"}));  // no temporary left
}

TEST_F(UnlhaCommand, ListingHandlesAndBadCalls) {
    EXPECT_EQ(UnlhaOpenArchive(nullptr, (src / "a.txt").c_str(), 0), nullptr);
    EXPECT_EQ(UnlhaOpenArchive(nullptr, (work / "missing.lzh").c_str(), 0), nullptr);
    EXPECT_EQ(UnlhaOpenArchive(nullptr, nullptr, 0), nullptr);
    int bogus = 0;
    EntryInfo info;
    EXPECT_NE(UnlhaFindFirst(&bogus, "*.*", &info), 0);
    EXPECT_NE(UnlhaCloseArchive(&bogus), 0);
    ASSERT_EQ(unlha("a -x1 -r2 " + q(archive) + " " + q(src.path() + "/") + " \"*.*\"").code, KA_OK);
    EXPECT_EQ(listEntries(archive, "docs/*.txt").size(), 2u);
    void* h = UnlhaOpenArchive(nullptr, archive.c_str(), 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(UnlhaFindFirst(h, "*.*", nullptr), -1);
    EXPECT_EQ(UnlhaCloseArchive(h), 0);
    EXPECT_NE(UnlhaFindNext(h, &info), 0);  // closed: refused, not used

    EXPECT_EQ(Unlha(nullptr, nullptr, nullptr, 0), KA_ERR_USAGE);
    EXPECT_EQ(unlha("q " + q(archive)).code, KA_ERR_USAGE);
    EXPECT_EQ(unlha("x \"unbalanced").code, KA_ERR_USAGE);
    EXPECT_EQ(unlha("a -jm5 " + q(work / "n.lzh") + " " + q(src / "a.txt")).code, KA_ERR_USAGE);
    EXPECT_FALSE(std::filesystem::exists(work / "n.lzh"));
    EXPECT_EQ(unlha("x " + q(work / "missing.lzh") + " " + q(work / "o/")).code, KA_ERR_OPEN);
    // A short output buffer gets a cut, terminated report.
    char small[10];
    std::memset(small, 'z', sizeof small);
    Unlha(nullptr, ("x " + q(work / "missing.lzh") + " " + q(work / "o/")).c_str(), small, sizeof small);
    EXPECT_LT(std::strlen(small), sizeof small);
}

TEST_F(UnlhaCommand, AddRefusesToOverwriteSomethingThatIsNotAnArchive) {
    std::string notes = work.write("notes.lzh", "this is a text file, not an archive");
    auto r = unlha("a " + q(notes) + " " + q(src / "a.txt"));
    EXPECT_EQ(r.code, KA_ERR_NOT_ARCHIVE);
    EXPECT_EQ(TempDir::read(notes), "this is a text file, not an archive");
    r = unlha("a " + q(work / "new.lzh") + " " + q(src / "missing.txt"));
    EXPECT_EQ(r.code, KA_ERR_NO_MATCH);
    EXPECT_EQ(tree(work.path()), (std::vector<std::string>{"notes.lzh"}));
}

TEST_F(UnlhaCommand, StoredModesAreRestoredOnlyWhenTheyMakeSense) {
    MadeEntry zero{"zero.txt", "z"};
    zero.mode = S_IFREG;  // no permission bits at all
    MadeEntry readOnly{"ro.txt", "r"};
    readOnly.mode = S_IFREG | 0444;
    MadeEntry setuid{"suid", "s"};
    setuid.mode = S_IFREG | 04755;
    std::string a = writeArchive(work, "modes.lzh", {zero, readOnly, setuid});
    ASSERT_EQ(unlha("x -a1 " + q(a) + " " + q(work / "m/")).code, KA_OK);
    struct stat st;
    ASSERT_EQ(stat((work / "m/zero.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0600, 0600u);
    ASSERT_EQ(stat((work / "m/ro.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    ASSERT_EQ(stat((work / "m/suid").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);  // never a set-user-id bit from an archive
}
