#include <gtest/gtest.h>

#include "CommandLine.h"
#include "TempDir.h"
#include "Wildcard.h"

using kestrel::test::TempDir;

using kestrel::arc::CommandLine;
using kestrel::arc::Wildcard;

TEST(CommandLine, SplitsCommandOptionsAndQuotedArguments) {
    auto cl = CommandLine::parse(R"(a -x1 -r2 -a2 -jm2 "/home/aki/my docs/a.lzh" "/home/aki/" "a b.txt")");
    ASSERT_TRUE(cl);
    EXPECT_EQ(cl->command(), "a");
    EXPECT_EQ(cl->options(), (std::vector<std::string>{"-x1", "-r2", "-a2", "-jm2"}));
    EXPECT_EQ(cl->arguments(),
              (std::vector<std::string>{"/home/aki/my docs/a.lzh", "/home/aki/", "a b.txt"}));
    EXPECT_TRUE(cl->hasOption("-jm2"));
    EXPECT_FALSE(cl->hasOption("-jm"));
}

TEST(CommandLine, OptionsOnlyLineHasNoCommandAndGivesValues) {
    auto cl = CommandLine::parse("-a -r -ml:21 -v:1423 \"x.cab\" \"@/tmp/list\"");
    ASSERT_TRUE(cl);
    EXPECT_EQ(cl->command(), "");
    EXPECT_EQ(cl->optionValue("-ml:"), "21");
    EXPECT_EQ(cl->optionValue("-v:"), "1423");
    EXPECT_FALSE(cl->optionValue("-d:"));
    EXPECT_EQ(cl->arguments().size(), 2u);
}

TEST(CommandLine, QuotedDashIsAnArgumentAndEmptyQuotesAreKept) {
    auto cl = CommandLine::parse(R"(n "a.lzh" "-odd name" "")");
    ASSERT_TRUE(cl);
    EXPECT_TRUE(cl->options().empty());
    EXPECT_EQ(cl->arguments(), (std::vector<std::string>{"a.lzh", "-odd name", ""}));
}

TEST(CommandLine, UnbalancedQuoteIsRefused) {
    std::string error;
    EXPECT_FALSE(CommandLine::parse(R"(x "a.lzh" "dest/)", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(CommandLine::parse("   "));
}

TEST(CommandLine, ListFilesExpandQuotedCrLfLinesAndCp932) {
    TempDir dir;
    // "日本.txt" in CP932, a CR LF file with a blank line and an unquoted name.
    std::string list = "\"a.txt\"\r\n\r\n\"docs/b c.txt\"\r\nplain.txt\n\"\x93\xfa\x96\x7b.txt\"\r\n";
    std::string path = dir.write("list.txt", list);
    auto cl = CommandLine::parse("s \"x.lzh\" \"out/\" \"@" + path + "\" \"tail\"");
    ASSERT_TRUE(cl);
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(cl->expandedArguments(2, names, &error)) << error;
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "docs/b c.txt", "plain.txt",
                                               "日本.txt", "tail"}));
}

// A name may hold double quotes: a line's name runs from its first to its last quote.
TEST(CommandLine, ListFileLinesKeepInnerQuotesAndBlanks) {
    TempDir dir;
    std::string list = "\"say \"hi\".txt\"\r\n\" spaced \"\r\n  bare.txt  \r\nodd\"name\n";
    auto cl = CommandLine::parse("a \"x.lzh\" \"@" + dir.write("list.txt", list) + "\"");
    ASSERT_TRUE(cl);
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(cl->expandedArguments(1, names, &error)) << error;
    EXPECT_EQ(names, (std::vector<std::string>{"say \"hi\".txt", " spaced ", "bare.txt", "odd\"name"}));
}

TEST(CommandLine, MissingListFileIsAnError) {
    auto cl = CommandLine::parse("a \"x.lzh\" \"@/nonexistent/kestrel/list\"");
    std::vector<std::string> names;
    std::string error;
    EXPECT_FALSE(cl->expandedArguments(1, names, &error));
    EXPECT_NE(error.find("/nonexistent/kestrel/list"), std::string::npos);
}

TEST(Wildcard, StarDotStarMatchesEverythingAndPatternsMatchExactly) {
    EXPECT_TRUE(Wildcard::match("*.*", "README"));
    EXPECT_TRUE(Wildcard::match("*.*", "docs/a.txt"));
    EXPECT_TRUE(Wildcard::match("*.txt", "docs/a.txt"));
    EXPECT_FALSE(Wildcard::match("*.txt", "a.TXT"));
    EXPECT_TRUE(Wildcard::match("a?c", "abc"));
    EXPECT_FALSE(Wildcard::match("a?c", "ac"));
    EXPECT_TRUE(Wildcard::match("docs/a.txt", "docs/a.txt"));
    EXPECT_FALSE(Wildcard::match("docs/a.txt", "docs/a.txt2"));
    // '?' is one character, however many bytes it takes in UTF-8.
    EXPECT_TRUE(Wildcard::match("?.txt", "あ.txt"));
    EXPECT_TRUE(Wildcard::match("*?.txt", "日本.txt"));
    EXPECT_TRUE(Wildcard::match("??.txt", "日本.txt"));
    EXPECT_FALSE(Wildcard::match("?.txt", "日本.txt"));
    EXPECT_TRUE(Wildcard::match("?.txt", "\xff.txt")) << "a byte that is not UTF-8 counts as one";
    // A pathological pattern must not take exponential time.
    EXPECT_FALSE(Wildcard::match("*a*a*a*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}
