#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "SafePath.h"
#include "TempDir.h"

using kestrel::test::TempDir;

using kestrel::arc::SafePath;
using P = SafePath::Problem;

TEST(SafePath, NormalisesSeparatorsAndDots) {
    std::string rel;
    EXPECT_EQ(SafePath::normalise("docs\\sub\\a.txt", rel), P::None);
    EXPECT_EQ(rel, "docs/sub/a.txt");
    EXPECT_EQ(SafePath::normalise("./a//b/./c/", rel), P::None);
    EXPECT_EQ(rel, "a/b/c");
    EXPECT_EQ(SafePath::normalise("..foo/bar..", rel), P::None);  // dots inside names are fine
    EXPECT_EQ(rel, "..foo/bar..");
}

TEST(SafePath, RefusesClimbingAbsoluteAndEmptyNames) {
    std::string rel;
    EXPECT_EQ(SafePath::normalise("../etc/passwd", rel), P::DotDot);
    EXPECT_EQ(SafePath::normalise("a/../../b", rel), P::DotDot);
    EXPECT_EQ(SafePath::normalise("a\\..\\b", rel), P::DotDot);
    EXPECT_EQ(SafePath::normalise("/etc/passwd", rel), P::Absolute);
    EXPECT_EQ(SafePath::normalise("\\\\server\\share", rel), P::Absolute);
    EXPECT_EQ(SafePath::normalise("C:\\Windows\\x", rel), P::Absolute);
    EXPECT_EQ(SafePath::normalise("c:x", rel), P::Absolute);
    EXPECT_EQ(SafePath::normalise("", rel), P::Empty);
    EXPECT_EQ(SafePath::normalise("./.", rel), P::Empty);
    EXPECT_EQ(SafePath::normalise(std::string_view("a\0b", 3), rel), P::BadCharacter);
    EXPECT_STRNE(SafePath::describe(P::DotDot), "");
}

TEST(SafePath, JoinStaysUnderDestAndRefusesFoldersThatAreLinks) {
    TempDir dest, outside;
    std::string full;
    EXPECT_EQ(SafePath::join(dest.path() + "/", "sub/a.txt", full), P::None);
    EXPECT_EQ(full, dest.path() + "/sub/a.txt");
    std::filesystem::create_directory(dest / "real");
    ASSERT_EQ(symlink(outside.path().c_str(), (dest / "evil").c_str()), 0);
    EXPECT_EQ(SafePath::join(dest.path(), "real/x", full), P::None);
    EXPECT_EQ(SafePath::join(dest.path(), "evil/x", full), P::ThroughLink);
    EXPECT_EQ(SafePath::join(dest.path(), "evil\\deeper\\x", full), P::ThroughLink);
    // The link itself as the last component is not a way out: it gets replaced.
    EXPECT_EQ(SafePath::join(dest.path(), "evil", full), P::None);
    EXPECT_EQ(SafePath::join("/", "tmp/x", full), P::None);
    EXPECT_EQ(full, "/tmp/x");
}

TEST(SafePath, LinkTargetsAreResolvedFromTheLinksFolder) {
    EXPECT_TRUE(SafePath::linkStaysInside("a/link", "b.txt"));
    EXPECT_TRUE(SafePath::linkStaysInside("a/link", "../b.txt"));
    EXPECT_FALSE(SafePath::linkStaysInside("a/link", "../../b.txt"));
    EXPECT_FALSE(SafePath::linkStaysInside("link", "../x"));
    EXPECT_TRUE(SafePath::linkStaysInside("a/b/link", "./../c/../../d"));
    EXPECT_FALSE(SafePath::linkStaysInside("link", "/etc/passwd"));
    EXPECT_FALSE(SafePath::linkStaysInside("link", ""));
}
