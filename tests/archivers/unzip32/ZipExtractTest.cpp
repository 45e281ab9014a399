// Extraction with the -x command line: folders, times, permissions, selection,
// existing files and the report.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiverApi.h"
#include "DosTime.h"
#include "TestSupport.h"
#include "ZipBuilder.h"

namespace kestrel::test {
namespace {

std::string cmd(const std::string& options, const std::string& archive, const std::string& dest,
                const std::string& names = "\"*.*\"") {
    return options + " \"" + archive + "\" \"" + dest + "/\" " + names;
}

mode_t modeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

time_t mtimeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

class ZipExtract : public ::testing::Test {
protected:
    TempDir dir;
    std::string out = dir / "out";
};

TEST_F(ZipExtract, EverythingWithFoldersContentsTimesAndModes) {
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += std::to_string(i * 7919 % 1000) + "\n";
    ZipBuilder b;
    ZipBuilderEntry folder;
    folder.name = "docs/";
    folder.externalAttributes = 0x10;
    folder.dosDate = 0x4A21;  // 2017-01-01
    folder.dosTime = 0x0000;
    b.add(folder);
    b.file("docs/big.txt", big, true);
    b.unixEntry("bin/run.sh", "#!/bin/sh\necho hi\n", 0100750);
    ZipBuilderEntry ro;
    ro.name = "ro.txt";
    ro.data = "read only";
    ro.externalAttributes = 0x01;
    b.add(ro);
    ZipBuilderEntry stamped;  // extended timestamp: exact UTC seconds
    stamped.name = "stamped.txt";
    stamped.data = "t";
    stamped.extra = std::string("\x55\x54\x05\x00\x01", 5) + std::string("\x00\xca\x9a\x3b", 4);
    b.add(stamped);
    b.unixEntry("setuid", "x", 0104755);
    const std::string archive = b.write(dir / "a.zip");

    std::string report;
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", archive, out), &report), KA_OK) << report;
    EXPECT_EQ(listTree(out), (std::vector<std::string>{"bin/", "bin/run.sh", "docs/", "docs/big.txt",
                                                       "ro.txt", "setuid", "stamped.txt"}));
    EXPECT_EQ(readFile(out + "/docs/big.txt"), big);
    EXPECT_EQ(modeOf(out + "/bin/run.sh") & 07777, 0750u);
    EXPECT_EQ(modeOf(out + "/setuid") & 07000, 0u) << "no set-user-id from an archive";
    EXPECT_EQ(modeOf(out + "/ro.txt") & 0200, 0u);
    EXPECT_EQ(mtimeOf(out + "/docs/big.txt"), arc::DosTime::toTimeT(0x5A2F, 0x6C83));
    EXPECT_EQ(mtimeOf(out + "/docs"), arc::DosTime::toTimeT(0x4A21, 0))
        << "a folder's time survives the files written into it";
    EXPECT_EQ(mtimeOf(out + "/stamped.txt"), 1000000000);
    EXPECT_NE(report.find("docs/big.txt"), std::string::npos);
}

// An NTFS extra field (id 0x000a) whose tag 1 says `tagSize` bytes follow and holds
// the FILETIME of `unixTime`.
std::string ntfsExtra(uint16_t tagSize, int64_t unixTime) {
    std::string f;
    auto put = [&f](uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            f += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    put(0x000a, 2);
    put(4 + 4 + 24, 2);
    put(0, 4);
    put(1, 2);
    put(tagSize, 2);
    const uint64_t ticks = (static_cast<uint64_t>(unixTime) + 11644473600ull) * 10000000ull;
    put(ticks, 8);
    put(ticks, 8);
    put(ticks, 8);
    return f;
}

TEST_F(ZipExtract, NtfsTimesAreUsedAndDamagedOnesIgnored) {
    ZipBuilderEntry good;
    good.name = "good.txt";
    good.extra = ntfsExtra(24, 1234567891);
    ZipBuilderEntry bad;
    bad.name = "bad.txt";
    bad.extra = ntfsExtra(0xfff0, 1234567891);  // claims more than the field holds
    ZipBuilder b;
    b.add(good).add(bad);
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", b.write(dir / "ntfs.zip"), out)), KA_OK);
    EXPECT_EQ(mtimeOf(out + "/good.txt"), 1234567891);
    EXPECT_EQ(mtimeOf(out + "/bad.txt"), arc::DosTime::toTimeT(0x5A2F, 0x6C83));
}

TEST_F(ZipExtract, SelectedEntriesPatternsListFilesAndJunkPaths) {
    ZipBuilder b;
    b.file("a.txt", "A").file("sub/b.txt", "B").file("sub/deep/c.bin", "C").file("d.bin", "D");
    const std::string archive = b.write(dir / "s.zip");

    ASSERT_EQ(runUnZip(nullptr, cmd("-x", archive, out, "\"sub/b.txt\"")), KA_OK);
    EXPECT_EQ(listTree(out), (std::vector<std::string>{"sub/", "sub/b.txt"}));

    const std::string out2 = dir / "out2";
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", archive, out2, "\"*.bin\" \"a.txt\"")), KA_OK);
    EXPECT_EQ(listTree(out2), (std::vector<std::string>{"a.txt", "d.bin", "sub/", "sub/deep/",
                                                        "sub/deep/c.bin"}));

    const std::string out3 = dir / "out3";
    writeFile(dir / "list.txt", "\"sub/\"\r\n\r\nd.bin\n");
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", archive, out3, "\"@" + dir / "list.txt" + "\"")), KA_OK);
    EXPECT_EQ(listTree(out3), (std::vector<std::string>{"d.bin", "sub/", "sub/b.txt", "sub/deep/",
                                                        "sub/deep/c.bin"}));

    const std::string flat = dir / "flat";
    ASSERT_EQ(runUnZip(nullptr, cmd("-x -j", archive, flat)), KA_OK);
    EXPECT_EQ(listTree(flat), (std::vector<std::string>{"a.txt", "b.txt", "c.bin", "d.bin"}));
    EXPECT_EQ(readFile(flat + "/c.bin"), "C");
}

TEST_F(ZipExtract, AnEntryNamedLikeAWildcardIsTakenLiterally) {
    ZipBuilder b;
    b.file("a*b.txt", "star").file("aXb.txt", "plain");
    const std::string archive = b.write(dir / "w.zip");
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", archive, out, "\"a*b.txt\"")), KA_OK);
    EXPECT_EQ(listTree(out), (std::vector<std::string>{"a*b.txt"}));
    // No entry has that exact name: a wildcard as before.
    const std::string out2 = dir / "out2";
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", archive, out2, "\"a?b.txt\"")), KA_OK);
    EXPECT_EQ(listTree(out2), (std::vector<std::string>{"a*b.txt", "aXb.txt"}));
}

TEST_F(ZipExtract, ExistingFileKeptWithoutHostReplacedWhenAllowed) {
    ZipBuilder b;
    b.file("a.txt", "new A").file("b.txt", "new B").file("c.txt", "new C");
    const std::string archive = b.write(dir / "e.zip");
    auto reset = [&] {
        mkdir(out.c_str(), 0755);
        for (const char* n : {"a.txt", "b.txt", "c.txt"})
            writeFile(out + "/" + n, "old");
    };

    reset();
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", archive, out), &report), KA_WARN_SKIPPED);
    EXPECT_EQ(readFile(out + "/a.txt"), "old");
    EXPECT_NE(report.find("a.txt"), std::string::npos);

    ScriptedHost host;
    host.answers = {KH_NO, KH_YES, KH_YES_TO_ALL};
    ScriptedHost allHost;
    allHost.answers = {KH_YES_TO_ALL};
    reset();
    writeFile(out + "/c.txt", "old");
    EXPECT_EQ(runUnZip(host.host(), cmd("-x", archive, out)), KA_WARN_SKIPPED);
    EXPECT_EQ(readFile(out + "/a.txt"), "old");
    EXPECT_EQ(readFile(out + "/b.txt"), "new B");
    EXPECT_EQ(readFile(out + "/c.txt"), "new C");

    reset();
    EXPECT_EQ(runUnZip(allHost.host(), cmd("-x", archive, out)), KA_OK);
    EXPECT_EQ(allHost.prompts.size(), 1u) << "yes-to-all is asked once";
    EXPECT_EQ(readFile(out + "/c.txt"), "new C");

    reset();
    ScriptedHost cancel;
    cancel.answers = {KH_YES, KH_CANCEL};
    EXPECT_EQ(runUnZip(cancel.host(), cmd("-x", archive, out)), KA_ERR_CANCELLED);
    EXPECT_EQ(readFile(out + "/a.txt"), "new A");
    EXPECT_EQ(readFile(out + "/b.txt"), "old");
    EXPECT_EQ(readFile(out + "/c.txt"), "old") << "nothing after a cancel";

    reset();
    EXPECT_EQ(runUnZip(nullptr, cmd("-x -o", archive, out)), KA_OK);
    EXPECT_EQ(readFile(out + "/b.txt"), "new B");
    EXPECT_EQ(listTree(out), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}))
        << "no temporary file is left behind";
}

TEST_F(ZipExtract, DestinationMayBeReachedThroughALinkAndIsCreated) {
    // The user's own choice of folder may pass through links (a home on another
    // disk); only what lies below it is held to the no-link rule.
    mkdir((dir / "real").c_str(), 0755);
    ASSERT_EQ(symlink((dir / "real").c_str(), (dir / "via").c_str()), 0);
    ZipBuilder b;
    b.file("sub/a.txt", "A");
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", b.write(dir / "l.zip"), dir / "via/new/deeper")), KA_OK);
    EXPECT_EQ(readFile(dir / "real/new/deeper/sub/a.txt"), "A");
}

TEST_F(ZipExtract, FolderInTheWayOfAFileAndFileInTheWayOfAFolder) {
    ZipBuilder b;
    b.file("x", "file x").file("y/inner.txt", "in y").file("ok.txt", "fine");
    const std::string archive = b.write(dir / "w.zip");
    mkdir(out.c_str(), 0755);
    mkdir((out + "/x").c_str(), 0755);
    writeFile(out + "/y", "a file named y");
    EXPECT_EQ(runUnZip(nullptr, cmd("-x -o", archive, out)), KA_WARN_SKIPPED);
    EXPECT_EQ(readFile(out + "/y"), "a file named y");
    EXPECT_EQ(readFile(out + "/ok.txt"), "fine");
    EXPECT_TRUE(S_ISDIR(modeOf(out + "/x")));
}

TEST_F(ZipExtract, AFileThatCannotBeWrittenDoesNotStopTheRest) {
    ZipBuilder b;
    b.file(std::string(300, 'n') + ".txt", "name too long for the file system");
    b.file("after.txt", "still here");
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", b.write(dir / "long.zip"), out), &report), KA_ERR_WRITE);
    EXPECT_EQ(listTree(out), std::vector<std::string>{"after.txt"}) << report;
}

TEST_F(ZipExtract, CommandLineMistakesAndMissingArchives) {
    ZipBuilder b;
    b.file("a.txt", "A");
    const std::string archive = b.write(dir / "c.zip");
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, "-q \"" + archive + "\" \"" + out + "/\"", &report), KA_ERR_USAGE);
    EXPECT_NE(report.find("-q"), std::string::npos);
    EXPECT_EQ(runUnZip(nullptr, "-x \"" + archive + "\""), KA_ERR_USAGE);
    EXPECT_EQ(runUnZip(nullptr, "-x \"" + archive + "\" \"" + out), KA_ERR_USAGE);
    EXPECT_EQ(runUnZip(nullptr, ""), KA_ERR_USAGE);
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", dir / "none.zip", out)), KA_ERR_OPEN);
    writeFile(dir / "text.zip", "plain text");
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", dir / "text.zip", out)), KA_ERR_NOT_ARCHIVE);
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", archive, out, "\"nope.txt\"")), KA_ERR_NO_MATCH);
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", ZipBuilder().write(dir / "empty.zip"), out)), KA_OK)
        << "everything of nothing is nothing, not a mistake";
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", archive, out, "\"@" + dir / "nolist" + "\"")), KA_ERR_OPEN);
    EXPECT_EQ(runUnZip(nullptr, "x"), KA_ERR_USAGE);
}

TEST_F(ZipExtract, ReportIsCutToTheBufferAndTerminated) {
    ZipBuilder b;
    for (int i = 0; i < 40; ++i)
        b.file("file-with-a-long-name-" + std::to_string(i) + ".txt", "x");
    const std::string archive = b.write(dir / "r.zip");
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", archive, out), &report, 32), KA_OK);
    EXPECT_LT(report.size(), 32u);
    EXPECT_EQ(listTree(out).size(), 40u);
}

TEST_F(ZipExtract, ReportOfManyEntriesIsWholeAndInOrder) {
    ZipBuilder b;
    for (int i = 0; i < 600; ++i)
        b.file("f" + std::to_string(i), "");
    std::string report;
    ASSERT_EQ(runUnZip(nullptr, cmd("-x", b.write(dir / "many.zip"), out), &report, 1 << 20), KA_OK);
    size_t lines = 0;
    size_t at = 0;
    for (int i = 0; i < 600; ++i) {
        at = report.find("展開: f" + std::to_string(i) + "\n", at);
        ASSERT_NE(at, std::string::npos) << i;
    }
    for (char c : report)
        lines += c == '\n';
    EXPECT_EQ(lines, 601u);
    EXPECT_EQ(report.back(), '\n');
}

TEST_F(ZipExtract, TestAndListCommandsWriteNothing) {
    ZipBuilder b;
    b.file("a.txt", std::string(3000, 'a'), true).file("b.txt", "b");
    const std::string archive = b.write(dir / "t.zip");
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, "-t \"" + archive + "\"", &report), KA_OK);
    EXPECT_NE(report.find("OK: a.txt"), std::string::npos);
    EXPECT_EQ(runUnZip(nullptr, "l \"" + archive + "\" \"*.txt\"", &report), KA_OK);
    EXPECT_NE(report.find("Deflate"), std::string::npos);
    EXPECT_NE(report.find("b.txt"), std::string::npos);
    EXPECT_EQ(listTree(dir.path()), (std::vector<std::string>{"t.zip"}));
}

TEST_F(ZipExtract, UnsupportedMethodIsReportedAndTheRestExtracted) {
    ZipBuilderEntry imploded;
    imploded.name = "old.txt";
    imploded.data = "pretend this is imploded";
    imploded.method = 6;
    ZipBuilder b;
    b.add(imploded).file("new.txt", "fine");
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, cmd("-x", b.write(dir / "m.zip"), out), &report), KA_ERR_UNSUPPORTED);
    EXPECT_NE(report.find("old.txt"), std::string::npos);
    EXPECT_EQ(listTree(out), std::vector<std::string>{"new.txt"});
}

TEST_F(ZipExtract, CancelDuringAFileLeavesNoPartOfIt) {
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += std::to_string(i);
    ZipBuilder b;
    b.file("big.txt", big, true).file("after.txt", "x");
    ScriptedHost cancel;
    cancel.cancelAfterBytes = 100000;  // a couple of chunks in
    EXPECT_EQ(runUnZip(cancel.host(), cmd("-x", b.write(dir / "big.zip"), out)), KA_ERR_CANCELLED);
    EXPECT_EQ(listTree(out), std::vector<std::string>{});
}

// The window's "-x": one progress for all entries of the call, never running back.
TEST_F(ZipExtract, ProgressCoversTheWholeCall) {
    std::string text;
    for (int i = 0; i < 30000; ++i)
        text += std::to_string(i) + "\n";
    ZipBuilder b;
    b.file("one.txt", text, true).file("two.bin", std::string(150000, 'z')).file("three.txt", text, true);
    const std::string archive = b.write(dir / "p.zip");
    for (const std::string& names : {std::string("\"*.*\""), std::string("\"three.txt\"")}) {
        ScriptedHost host;
        host.whenNoAnswer = KH_YES_TO_ALL;
        ASSERT_EQ(runUnZip(host.host(), cmd("-x", archive, out, names)), KA_OK);
        ASSERT_FALSE(host.reports.empty()) << names;
        EXPECT_EQ(progressFault(host.reports), "") << names;
        EXPECT_EQ(host.reports.back().total, names == "\"*.*\"" ? 2 * text.size() + 150000 : text.size());
    }
}

}  // namespace
}  // namespace kestrel::test
