// kestrel-arc run as a program on each library that has been built.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "TestSupport.h"
#include "ZipBuilder.h"

namespace kestrel::test {
namespace {

const std::string kExe = KESTREL_ARC_EXE;

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs kestrel-arc in `cwd` with `args`, feeding `input` on stdin.
Outcome arc(const std::string& cwd, const std::string& args, const std::string& input = "") {
    const std::string command = "cd '" + cwd + "' && printf '" + input + "' | '" + kExe + "' " +
                                args + " 2>&1";
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool libraryBuilt(const std::string& file) {
    return exists(kExe.substr(0, kExe.rfind('/') + 1) + file);
}

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ZipBuilder b;
        b.file("a.txt", std::string(2000, 'a'), true).file("sub/b.txt", "bee");
        b.write(dir / "t.zip");
    }
    TempDir dir;
};

TEST_F(CliEndToEnd, UnzipExtractsAndPrintsReportAndResult) {
    const Outcome run = arc(dir.path(), "unzip '-x \"t.zip\" \"out/\" \"*.*\"'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("result: 0x0000 KA_OK"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sub/b.txt"), std::string::npos);
    EXPECT_EQ(readFile(dir / "out/sub/b.txt"), "bee");

    const Outcome again = arc(dir.path(), "unzip '-x \"t.zip\" \"out/\" \"*.*\"'");
    EXPECT_EQ(again.status, 1) << "existing files kept without --ask";
    EXPECT_NE(again.out.find("KA_WARN_SKIPPED"), std::string::npos);
}

TEST_F(CliEndToEnd, UnzipListing) {
    const Outcome run = arc(dir.path(), "--list unzip t.zip");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Deflate"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2025/01/15 13:36:06"), std::string::npos);
    EXPECT_NE(run.out.find("sub/b.txt"), std::string::npos);
    EXPECT_NE(run.out.find("2 entries"), std::string::npos);
    const Outcome filtered = arc(dir.path(), "--list unzip t.zip 'sub/*'");
    EXPECT_NE(filtered.out.find("1 entries"), std::string::npos) << filtered.out;
    const Outcome missing = arc(dir.path(), "--list unzip nothing.zip");
    EXPECT_EQ(missing.status, 2);
}

TEST_F(CliEndToEnd, AskAnswersOverwriteQuestionsFromStdin) {
    ASSERT_EQ(arc(dir.path(), "unzip '-x \"t.zip\" \"out/\" \"*.*\"'").status, 0);
    writeFile(dir / "out/a.txt", "mine");
    writeFile(dir / "out/sub/b.txt", "mine too");
    const Outcome run = arc(dir.path(), "--ask unzip '-x \"t.zip\" \"out/\" \"*.*\"'", "n\\ny\\n");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(readFile(dir / "out/a.txt"), "mine");
    EXPECT_EQ(readFile(dir / "out/sub/b.txt"), "bee");
}

TEST_F(CliEndToEnd, SmallBufferCutsTheReportOnly) {
    const Outcome run = arc(dir.path(), "--buffer 8 unzip '-x \"t.zip\" \"out/\" \"*.*\"'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("result: 0x0000"), std::string::npos);
    EXPECT_EQ(run.out.find("sub/b.txt"), std::string::npos) << run.out;
    EXPECT_EQ(readFile(dir / "out/sub/b.txt"), "bee");
}

TEST_F(CliEndToEnd, UsageAndLibraryErrorsAreClear) {
    Outcome run = arc(dir.path(), "");
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("usage"), std::string::npos);
    run = arc(dir.path(), "rar 'x a.rar'");
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("unknown library"), std::string::npos);
    run = arc(dir.path(), "--buffer zero unzip x");
    EXPECT_EQ(run.status, 3);
    run = arc(dir.path(), "unzip '-x \"t.zip'");
    EXPECT_EQ(run.status, 2) << "an unbalanced quote is the library's usage error";
    EXPECT_NE(run.out.find("KA_ERR_USAGE"), std::string::npos);

    // A copy of the program with no libraries beside it says which one is missing.
    ASSERT_EQ(std::system(("cp '" + kExe + "' '" + dir.path() + "/kestrel-arc'").c_str()), 0);
    FILE* pipe = popen(("cd '" + dir.path() + "' && env -u LD_LIBRARY_PATH ./kestrel-arc --list cab x.cab 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[1024] = {};
    const size_t n = fread(buffer, 1, sizeof buffer - 1, pipe);
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_NE(std::string(buffer, n).find("cannot load libcab32.so"), std::string::npos) << buffer;
}

TEST_F(CliEndToEnd, UnlhaRoundTrip) {
    if (!libraryBuilt("libunlha32.so"))
        GTEST_SKIP() << "libunlha32.so has not been built";
    writeFile(dir / "note.txt", std::string(5000, 'n') + "end");
    Outcome run = arc(dir.path(), "unlha 'a \"n.lzh\" \"note.txt\"'");
    ASSERT_EQ(run.status, 0) << run.out;
    run = arc(dir.path(), "--list unlha n.lzh");
    EXPECT_NE(run.out.find("note.txt"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1 entries"), std::string::npos);
    run = arc(dir.path(), "unlha 'x -a1 -m0 -x1 \"n.lzh\" \"lout/\" \"*.*\"'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(readFile(dir / "lout/note.txt"), std::string(5000, 'n') + "end");
}

TEST_F(CliEndToEnd, CabRoundTrip) {
    if (!libraryBuilt("libcab32.so"))
        GTEST_SKIP() << "libcab32.so has not been built";
    writeFile(dir / "note.txt", std::string(5000, 'c') + "end");
    Outcome run = arc(dir.path(), "cab '-a -r -mz \"n.cab\" \"note.txt\"'");
    ASSERT_EQ(run.status, 0) << run.out;
    run = arc(dir.path(), "--list cab n.cab");
    EXPECT_NE(run.out.find("note.txt"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("MSZIP"), std::string::npos);
    run = arc(dir.path(), "cab '-x \"n.cab\" \"cout/\" \"*.*\"'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(readFile(dir / "cout/note.txt"), std::string(5000, 'c') + "end");
}

}  // namespace
}  // namespace kestrel::test
