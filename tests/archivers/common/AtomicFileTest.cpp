#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "AtomicFile.h"
#include "TempDir.h"

using kestrel::test::TempDir;

using kestrel::arc::AtomicFile;

namespace {
size_t countFiles(const std::string& dir) {
    size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}
}  // namespace

TEST(AtomicFile, CommitReplacesAndKeepsTheOldPermissions) {
    TempDir dir;
    std::string path = dir.write("a.lzh", "old");
    chmod(path.c_str(), 0640);
    {
        AtomicFile f(path);
        ASSERT_TRUE(f.open());
        std::string big(600 * 1024, 'x');  // larger than the internal buffer
        ASSERT_TRUE(f.write("new", 3));
        ASSERT_TRUE(f.write(big.data(), big.size()));
        EXPECT_EQ(TempDir::read(path), "old");  // untouched until commit
        ASSERT_TRUE(f.commit());
        EXPECT_EQ(f.bytesWritten(), 3 + big.size());
    }
    EXPECT_EQ(TempDir::read(path).substr(0, 4), "newx");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(countFiles(dir.path()), 1u);
}

TEST(AtomicFile, AbandonedOrFailedWritesLeaveNothingBehind) {
    TempDir dir;
    std::string path = dir.write("keep.lzh", "precious");
    {
        AtomicFile f(path);
        ASSERT_TRUE(f.open());
        f.write("junk", 4);
    }  // never committed
    EXPECT_EQ(TempDir::read(path), "precious");
    EXPECT_EQ(countFiles(dir.path()), 1u);
    AtomicFile nowhere(dir / "missing-folder/x");
    EXPECT_FALSE(nowhere.open());
    EXPECT_FALSE(nowhere.commit());
}

TEST(AtomicFile, ExplicitModeIsApplied) {
    TempDir dir;
    AtomicFile f(dir / "ro.txt");
    ASSERT_TRUE(f.open());
    f.setMode(0444);
    f.setSync(false);
    ASSERT_TRUE(f.commit());
    struct stat st;
    ASSERT_EQ(stat((dir / "ro.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(AtomicFile, PatchAndTruncateRewriteWhatWasWritten) {
    TempDir dir;
    AtomicFile f(dir / "p.bin");
    ASSERT_TRUE(f.open());
    ASSERT_TRUE(f.write("HHHHdata-that-is-too-long", 25));
    ASSERT_TRUE(f.patch(0, "head", 4));
    EXPECT_FALSE(f.patch(24, "xx", 2));  // past the end of what was written
    ASSERT_TRUE(f.truncate(8));
    ASSERT_TRUE(f.write("!", 1));
    EXPECT_FALSE(f.truncate(100));
    ASSERT_TRUE(f.commit());
    EXPECT_EQ(TempDir::read(dir / "p.bin"), "headdata!");
}

TEST(AtomicFile, LinksAreReplacedUnlessFollowed) {
    TempDir dir;
    std::string real = dir.write("real.lzh", "old");
    ASSERT_EQ(symlink(real.c_str(), (dir / "link.lzh").c_str()), 0);
    {
        AtomicFile followed(dir / "link.lzh");
        followed.followLink();
        ASSERT_TRUE(followed.open());
        followed.write("new", 3);
        ASSERT_TRUE(followed.commit());
    }
    EXPECT_EQ(TempDir::read(real), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.lzh"));
    {
        AtomicFile replaced(dir / "link.lzh");  // as extraction does: never through the link
        ASSERT_TRUE(replaced.open());
        replaced.write("file", 4);
        ASSERT_TRUE(replaced.commit());
    }
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.lzh"));
    EXPECT_EQ(TempDir::read(real), "new");
}

// The variants other writers need: data through the descriptor, the temporary
// file's own mode kept, a chosen time, a hidden temporary of a chosen stem, and
// no replacing of a name taken meanwhile (the old file and nothing else stays).
TEST(AtomicFile, DescriptorWritersKeepTheirModeTimeAndNeverReplaceUnasked) {
    TempDir dir;
    AtomicFile f(dir / "copy.txt");
    f.setTemporaryStem("kestrel-copy-");
    f.keepTemporaryMode();
    f.setModificationTime(1000000000);
    ASSERT_TRUE(f.open());
    EXPECT_EQ(f.temporaryPath().find(dir / ".kestrel-copy-"), 0u) << f.temporaryPath();
    ASSERT_EQ(::write(f.descriptor(), "data", 4), 4);
    ASSERT_EQ(fchmod(f.descriptor(), 0604), 0);
    ASSERT_TRUE(f.commit());
    struct stat st;
    ASSERT_EQ(stat((dir / "copy.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
    EXPECT_EQ(st.st_mtime, 1000000000);
    EXPECT_EQ(TempDir::read(dir / "copy.txt"), "data");

    AtomicFile again(dir / "copy.txt");
    again.setReplace(false);
    ASSERT_TRUE(again.open());
    ASSERT_TRUE(again.write("other", 5));
    EXPECT_FALSE(again.commit());
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(TempDir::read(dir / "copy.txt"), "data");
    EXPECT_EQ(countFiles(dir.path()), 1u);
}
