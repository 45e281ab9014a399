#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "TargetList.h"
#include "TempDir.h"

using kestrel::test::TempDir;

using kestrel::arc::Target;
using kestrel::arc::TargetList;

namespace {

std::vector<std::string> names(const std::vector<Target>& targets) {
    std::vector<std::string> out;
    for (const Target& t : targets) out.push_back(t.storedName + (t.isDirectory ? "/" : ""));
    return out;
}

class TargetListTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("a.txt", "a");
        dir.write("data/b.txt", "b");
        dir.write("data/c.bin", "c");
        dir.write("data/sub/d.txt", "d");
        std::filesystem::create_directory(dir / "data/empty");
    }
    std::vector<std::string> expand(std::string base, std::vector<std::string> targets, bool recurse,
                                    bool keepPaths) {
        out.clear();
        problems.clear();
        TargetList::expand(base, targets, {recurse, keepPaths}, out, problems);
        return names(out);
    }
    TempDir dir;
    std::vector<Target> out;
    std::vector<std::string> problems;
};

}  // namespace

TEST_F(TargetListTest, FileRelativeToBase) {
    EXPECT_EQ(expand(dir.path() + "/", {"a.txt"}, true, true), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(out[0].diskPath, dir / "a.txt");
    EXPECT_EQ(expand(dir.path() + "/", {"data/b.txt"}, false, false), (std::vector<std::string>{"b.txt"}));
}

TEST_F(TargetListTest, FolderStarDotStarWithAndWithoutRecursion) {
    EXPECT_EQ(expand(dir.path() + "/", {"data/*.*"}, false, true),
              (std::vector<std::string>{"data/b.txt", "data/c.bin"}));
    EXPECT_EQ(expand(dir.path() + "/", {"data/*.*"}, true, true),
              (std::vector<std::string>{"data/", "data/b.txt", "data/c.bin", "data/empty/", "data/sub/",
                                        "data/sub/d.txt"}));
    // Recursion without stored paths flattens the names and drops folder entries.
    EXPECT_EQ(expand(dir.path(), {"data/*.*"}, true, false),
              (std::vector<std::string>{"b.txt", "c.bin", "d.txt"}));
    EXPECT_EQ(expand(dir.path(), {"data/*.txt"}, true, true),
              (std::vector<std::string>{"data/", "data/b.txt", "data/empty/", "data/sub/", "data/sub/d.txt"}));
}

TEST_F(TargetListTest, APickedEmptyFolderIsStoredButTheBaseFolderNever) {
    EXPECT_EQ(expand(dir.path() + "/", {"data/empty/*.*"}, true, true),
              (std::vector<std::string>{"data/empty/"}));
    EXPECT_EQ(expand(dir / "data/", {"*.*"}, true, true),
              (std::vector<std::string>{"b.txt", "c.bin", "empty/", "sub/", "sub/d.txt"}));
    EXPECT_EQ(expand(dir / "data", {"./*.*"}, true, true),
              (std::vector<std::string>{"b.txt", "c.bin", "empty/", "sub/", "sub/d.txt"}));
    // Without recursion a folder target names only its files.
    EXPECT_TRUE(expand(dir.path() + "/", {"data/empty/*.*"}, false, true).empty());
}

TEST_F(TargetListTest, AbsoluteTargetsWithoutBaseKeepTheirFullPath) {
    auto got = expand("", {dir / "data/b.txt"}, false, true);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], (dir / "data/b.txt").substr(1));
}

TEST_F(TargetListTest, ProblemsDuplicatesAndLinkLoops) {
    ASSERT_EQ(symlink(dir.path().c_str(), (dir / "data/loop").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "data/fifo").c_str(), 0644), 0);
    auto got = expand(dir.path(), {"data/*.*", "missing.txt", "data/b.txt"}, true, true);
    // The loop is not followed, the FIFO is not read, the missing target is named.
    EXPECT_EQ(got, (std::vector<std::string>{"data/", "data/b.txt", "data/c.bin", "data/empty/", "data/sub/",
                                             "data/sub/d.txt"}));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("fifo"), std::string::npos);
    EXPECT_NE(problems[1].find("missing.txt"), std::string::npos);
}

TEST_F(TargetListTest, FlattenedNamesThatClashAreReportedNotLostSilently) {
    dir.write("data/sub/b.txt", "another b");
    auto got = expand(dir.path(), {"data/*.*"}, true, false);
    EXPECT_EQ(std::count(got.begin(), got.end(), "b.txt"), 1);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("data/sub/b.txt"), std::string::npos);
    // The same file named twice is no clash.
    expand(dir.path(), {"a.txt", "a.txt"}, false, false);
    EXPECT_TRUE(problems.empty());
}

TEST_F(TargetListTest, StoredNamesNeverClimb) {
    auto got = expand(dir / "data", {"../a.txt", "./sub/../b.txt"}, false, true);
    EXPECT_EQ(got, (std::vector<std::string>{"a.txt", "b.txt"}));
    for (const Target& t : out) EXPECT_TRUE(std::filesystem::exists(t.diskPath)) << t.diskPath;
}
