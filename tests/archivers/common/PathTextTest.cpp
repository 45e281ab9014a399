#include <gtest/gtest.h>

#include "PathText.h"

using kestrel::arc::PathText;

TEST(PathText, LastComponentIgnoresTrailingSlashes) {
    EXPECT_EQ(PathText::lastComponent("a/b/c.txt"), "c.txt");
    EXPECT_EQ(PathText::lastComponent("a/b/"), "b");
    EXPECT_EQ(PathText::lastComponent("plain"), "plain");
    EXPECT_EQ(PathText::lastComponent("/"), "");
    EXPECT_EQ(PathText::lastComponent(""), "");
}

TEST(PathText, ParentOfIsEmptyAtTheTop) {
    EXPECT_EQ(PathText::parentOf("a/b/c.txt"), "a/b");
    EXPECT_EQ(PathText::parentOf("c.txt"), "");
    EXPECT_EQ(PathText::parentOf("/etc"), "");
}
