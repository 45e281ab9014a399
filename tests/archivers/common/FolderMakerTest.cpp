#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ArchiverApi.h"
#include "FolderMaker.h"
#include "TempDir.h"

using kestrel::test::TempDir;

using kestrel::arc::FolderMaker;
namespace fs = std::filesystem;

TEST(FolderMaker, DestinationWithMissingParentsAndThroughAChosenLink) {
    TempDir t;
    EXPECT_TRUE(FolderMaker::makeDestination(t / "a/b/c"));
    EXPECT_TRUE(fs::is_directory(t / "a/b/c"));
    fs::create_directory_symlink(t / "a", t / "link");
    EXPECT_TRUE(FolderMaker::makeDestination(t / "link/d"));  // the user chose the link
    EXPECT_TRUE(fs::is_directory(t / "a/d"));
    std::ofstream(t / "file") << "x";
    EXPECT_FALSE(FolderMaker::makeDestination(t / "file"));
}

TEST(FolderMaker, BelowTheDestinationEveryFolderMustBeReal) {
    TempDir t;
    FolderMaker::Failure failure;
    EXPECT_EQ(FolderMaker::makeBelow(t.path(), "x/y/z", failure), FolderMaker::Outcome::Made);
    EXPECT_TRUE(fs::is_directory(t / "x/y/z"));
    EXPECT_EQ(FolderMaker::makeBelow(t.path(), "", failure), FolderMaker::Outcome::Made);

    fs::create_directory(t / "outside");
    fs::create_directory_symlink(t / "outside", t / "x/jump");
    EXPECT_EQ(FolderMaker::makeBelow(t.path(), "x/jump/evil", failure), FolderMaker::Outcome::ThroughLink);
    EXPECT_FALSE(fs::exists(t / "outside/evil"));

    std::ofstream(t / "x/plain") << "data";
    EXPECT_EQ(FolderMaker::makeBelow(t.path(), "x/plain/sub", failure), FolderMaker::Outcome::NotAFolder);
    EXPECT_EQ(failure.path, t / "x/plain");
}

TEST(FolderMaker, AFolderThatCannotBeMadeSaysWhereAndWhy) {
    TempDir t;
    const std::string tooLong(300, 'n');  // longer than any file system's name limit
    FolderMaker::Failure failure;
    EXPECT_EQ(FolderMaker::makeBelow(t.path(), "ok/" + tooLong + "/deeper", failure),
              FolderMaker::Outcome::CannotCreate);
    EXPECT_EQ(failure.path, t / ("ok/" + tooLong));
    EXPECT_EQ(failure.error, ENAMETOOLONG);
    EXPECT_TRUE(fs::is_directory(t / "ok"));
}

TEST(FolderMaker, AnEntryBlockedByAFileIsSkippedButAnUncreatableFolderIsAnError) {
    TempDir t;
    std::ofstream(t / "plain") << "data";
    kestrel::arc::OutputBuffer out(nullptr, 0);
    int code = 0;
    auto note = [&](int c) { code = c; };
    EXPECT_TRUE(FolderMaker::makeForEntry(t.path(), "a/b", "a/b/c.txt", out, note));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(FolderMaker::makeForEntry(t.path(), "plain/sub", "plain/sub/x", out, note));
    EXPECT_EQ(code, KA_WARN_SKIPPED);
    EXPECT_NE(out.text().find("plain/sub/x"), std::string::npos);  // the entry is named
    EXPECT_FALSE(FolderMaker::makeForEntry(t.path(), std::string(300, 'n'), "long", out, note));
    EXPECT_EQ(code, KA_ERR_WRITE);
    EXPECT_NE(out.text().find(std::strerror(ENAMETOOLONG)), std::string::npos);
}
