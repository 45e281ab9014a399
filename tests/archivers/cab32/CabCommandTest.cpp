// The C entry points end to end: create, list, extract, sets, options, and the
// answers a host gives (or the safe ones without a host).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "CabTestSupport.h"
#include "DosTime.h"

using cabtest::CabRun;
using cabtest::runCab;
using cabtest::TempDir;

namespace {

struct Listed {
    std::string name, attribute, method;
    int32_t size;
    uint16_t date, time;
};

std::vector<Listed> list(const std::string& archive, const char* pattern = "*.*") {
    std::vector<Listed> out;
    void* h = CabOpenArchive(nullptr, archive.c_str(), 0);
    if (!h) return out;
    EntryInfo e{};
    for (int rc = CabFindFirst(h, pattern, &e); rc == 0; rc = CabFindNext(h, &e))
        out.push_back({e.name, e.attribute, e.method, e.originalSize, e.dosDate, e.dosTime});
    EXPECT_EQ(CabCloseArchive(h), 0);
    return out;
}

// A small tree: plain, empty, nested, Japanese, hidden and read-only files.
void makeTree(const TempDir& dir) {
    cabtest::writeFile(dir / "src/a.txt", cabtest::sampleData(70000, 1, true));
    cabtest::writeFile(dir / "src/empty.txt", "");
    cabtest::writeFile(dir / "src/sub/b.bin", cabtest::sampleData(5000, 2, false));
    cabtest::writeFile(dir / "src/日本語.txt", "こんにちは");
    cabtest::writeFile(dir / "src/.hidden", "h");
    cabtest::writeFile(dir / "src/ro.txt", "read only");
    ::chmod((dir / "src/ro.txt").c_str(), 0444);
}

std::string q(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

TEST(CabCommand, CreateListAndExtractATree) {
    TempDir dir;
    makeTree(dir);
    CabRun made = runCab("-a -r -mz " + q(dir / "t.cab") + " " + q(dir / "src/") + " \"*.*\"");
    ASSERT_EQ(made.result, KA_OK) << made.output;
    EXPECT_NE(made.output.find("t.cab"), std::string::npos);

    auto entries = list(dir / "t.cab");
    ASSERT_EQ(entries.size(), 6u);
    std::map<std::string, Listed> byName;
    for (const auto& e : entries) byName[e.name] = e;
    ASSERT_TRUE(byName.count("sub/b.bin"));
    EXPECT_EQ(byName["sub/b.bin"].size, 5000);
    EXPECT_EQ(byName["sub/b.bin"].method, "MSZIP");
    EXPECT_EQ(byName["a.txt"].attribute, "---A");
    EXPECT_EQ(byName["ro.txt"].attribute, "R--A");
    EXPECT_EQ(byName[".hidden"].attribute, "-H-A");
    EXPECT_TRUE(byName.count("日本語.txt"));
    struct stat st{};
    ::stat((dir / "src/a.txt").c_str(), &st);
    auto dos = kestrel::arc::DosTime::fromTimeT(st.st_mtime);
    EXPECT_EQ(byName["a.txt"].date, dos.date);
    EXPECT_EQ(byName["a.txt"].time, dos.time);
    // Names given back may use either separator.
    EXPECT_EQ(list(dir / "t.cab", "sub\\*").size(), 1u);
    EXPECT_EQ(list(dir / "t.cab", "sub/*").size(), 1u);

    CabRun out = runCab("-x " + q(dir / "t.cab") + " " + q(dir / "out/") + " \"*.*\"");
    ASSERT_EQ(out.result, KA_OK) << out.output;
    for (const std::string name : {"a.txt", "empty.txt", "sub/b.bin", "日本語.txt", ".hidden", "ro.txt"}) {
        EXPECT_TRUE(cabtest::exists(dir / ("out/" + name))) << name;
        EXPECT_EQ(cabtest::readFile(dir / ("out/" + name)), cabtest::readFile(dir / ("src/" + name))) << name;
    }
    ::stat((dir / "out/ro.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u) << "read-only attribute not restored";

    CabRun flat = runCab("-x -j " + q(dir / "t.cab") + " " + q(dir / "flat/") + " " + q("sub\\b.bin"));
    ASSERT_EQ(flat.result, KA_OK) << flat.output;
    EXPECT_EQ(dir.files().end() != std::find(dir.files().begin(), dir.files().end(), "flat/b.bin"), true);
    EXPECT_FALSE(cabtest::exists(dir / "flat/a.txt"));
}

TEST(CabCommand, TargetsBaseFoldersAndRecursion) {
    TempDir dir;
    makeTree(dir);
    // Without -r only the folder's own files; without a base the full path minus "/".
    ASSERT_EQ(runCab("-a " + q(dir / "n.cab") + " " + q(dir / "src/*.*")).result, KA_OK);
    auto entries = list(dir / "n.cab");
    EXPECT_EQ(entries.size(), 5u);
    const std::string prefix = (dir / "src/").substr(1);
    for (const auto& e : entries) EXPECT_EQ(e.name.rfind(prefix, 0), 0u) << e.name;

    // A list file of targets, relative to the base.
    cabtest::writeFile(dir / "list.txt", "\"a.txt\"\r\n\"sub/*.*\"\r\n");
    CabRun r = runCab("-a -r -ml:18 " + q(dir / "l.cab") + " " + q(dir / "src/") + " " + q("@" + (dir / "list.txt")));
    ASSERT_EQ(r.result, KA_OK) << r.output;
    entries = list(dir / "l.cab");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].method, "LZX:18");
}

TEST(CabCommand, BadOptionsAreRefusedWithoutWriting) {
    TempDir dir;
    makeTree(dir);
    for (const std::string opts : {"-ml:22", "-ml:x", "-v:abc", "-v:0"}) {
        CabRun r = runCab("-a -r " + opts + " " + q(dir / "bad.cab") + " " + q(dir / "src/") + " \"*.*\"");
        EXPECT_EQ(r.result, KA_ERR_USAGE) << opts;
        EXPECT_FALSE(r.output.empty());
    }
    EXPECT_EQ(runCab("-v:1 " + q(dir / "bad.cab")).result, KA_ERR_USAGE);
    EXPECT_EQ(runCab("-a -r " + q(dir / "bad.cab") + " " + q(dir / "src/") + " \"nothing*\"").result,
              KA_ERR_NO_MATCH);
    EXPECT_EQ(runCab("-a \"unbalanced").result, KA_ERR_USAGE);
    EXPECT_FALSE(cabtest::exists(dir / "bad.cab"));
    EXPECT_EQ(runCab("-a -r " + q(dir / "no/such/folder/x.cab") + " " + q(dir / "src/") + " \"*.*\"").result,
              KA_ERR_WRITE);
    // A report longer than the buffer is cut and still terminated.
    CabRun tiny = runCab("-x " + q(dir / "missing.cab") + " " + q(dir / "o/"), nullptr, 8);
    EXPECT_EQ(tiny.result, KA_ERR_OPEN);
    EXPECT_LT(tiny.output.size(), 8u);
}

TEST(CabCommand, ExistingFilesNeedTheHostsYes) {
    TempDir dir;
    makeTree(dir);
    ASSERT_EQ(runCab("-a -r " + q(dir / "t.cab") + " " + q(dir / "src/") + " \"a.txt\"").result, KA_OK);
    cabtest::writeFile(dir / "out/a.txt", "mine");
    CabRun kept = runCab("-x " + q(dir / "t.cab") + " " + q(dir / "out/") + " \"*.*\"");
    EXPECT_EQ(kept.result, KA_WARN_SKIPPED);
    EXPECT_NE(kept.output.find("a.txt"), std::string::npos);
    EXPECT_EQ(cabtest::readFile(dir / "out/a.txt"), "mine");

    cabtest::ScriptedHost no, yes, cancel;
    no.answers = {KH_NO};
    EXPECT_EQ(runCab("-x " + q(dir / "t.cab") + " " + q(dir / "out/"), no.host()).result, KA_WARN_SKIPPED);
    EXPECT_EQ(no.prompts.size(), 1u);
    cancel.answers = {KH_CANCEL};
    EXPECT_EQ(runCab("-x " + q(dir / "t.cab") + " " + q(dir / "out/"), cancel.host()).result, KA_ERR_CANCELLED);
    EXPECT_EQ(cabtest::readFile(dir / "out/a.txt"), "mine");
    yes.answers = {KH_YES};
    EXPECT_EQ(runCab("-x " + q(dir / "t.cab") + " " + q(dir / "out/"), yes.host()).result, KA_OK);
    EXPECT_EQ(cabtest::readFile(dir / "out/a.txt"), cabtest::readFile(dir / "src/a.txt"));
    EXPECT_EQ(dir.files().size(), 8u) << "temporary files left behind";
}

TEST(CabCommand, SetsAreWrittenListedAndExtractedWhole) {
    TempDir dir;
    makeTree(dir);
    CabRun made = runCab("-a -r -v:4 " + q(dir / "set.cab") + " " + q(dir / "src/") + " \"*.*\"");
    ASSERT_EQ(made.result, KA_OK) << made.output;
    EXPECT_FALSE(cabtest::exists(dir / "set.cab"));
    ASSERT_TRUE(cabtest::exists(dir / "set3.cab"));
    EXPECT_EQ(list(dir / "set1.cab").size(), 6u);
    EXPECT_EQ(list(dir / "set2.cab").size(), 6u) << "a middle cabinet lists its whole set";

    // Names are matched without regard to case, as the set's DOS names are.
    ASSERT_EQ(::rename((dir / "set2.cab").c_str(), (dir / "SET2.CAB").c_str()), 0);
    CabRun all = runCab("-x -k " + q(dir / "set1.cab") + " " + q(dir / "out/") + " \"*.*\"");
    ASSERT_EQ(all.result, KA_OK) << all.output;
    EXPECT_EQ(cabtest::readFile(dir / "out/a.txt"), cabtest::readFile(dir / "src/a.txt"));
    EXPECT_EQ(cabtest::readFile(dir / "out/sub/b.bin"), cabtest::readFile(dir / "src/sub/b.bin"));
}

TEST(CabCommand, AMissingCabinetIsNamedOrAskedFor) {
    TempDir dir;
    makeTree(dir);
    ASSERT_EQ(runCab("-a -r -v:4 " + q(dir / "set.cab") + " " + q(dir / "src/") + " \"*.*\"").result, KA_OK);
    ::mkdir((dir / "elsewhere").c_str(), 0777);
    ASSERT_EQ(::rename((dir / "set2.cab").c_str(), (dir / "elsewhere/disk2.cab").c_str()), 0);

    CabRun alone = runCab("-x -k " + q(dir / "set1.cab") + " " + q(dir / "out/") + " \"*.*\"");
    EXPECT_EQ(alone.result, KA_ERR_MISSING_VOLUME);
    EXPECT_NE(alone.output.find("set2.cab"), std::string::npos) << alone.output;
    EXPECT_FALSE(cabtest::exists(dir / "out/sub/b.bin")) << "a file needing the missing cabinet";
    // Without -k the same files fail, named with the cabinet they need.
    CabRun plain = runCab("-x " + q(dir / "set1.cab") + " " + q(dir / "plain/") + " \"*.*\"");
    EXPECT_EQ(plain.result, KA_ERR_MISSING_VOLUME);
    EXPECT_NE(plain.output.find("set2.cab"), std::string::npos) << plain.output;

    // The cabinet after one found elsewhere is looked for beside it first.
    ASSERT_TRUE(cabtest::exists(dir / "set3.cab"));
    for (int i = 3; cabtest::exists(dir / ("set" + std::to_string(i) + ".cab")); ++i) {
        std::string name = "set" + std::to_string(i) + ".cab";
        ASSERT_EQ(::rename((dir / name).c_str(), (dir / ("elsewhere/" + name)).c_str()), 0);
    }
    cabtest::ScriptedHost host;
    host.files["set2.cab"] = dir / "elsewhere/disk2.cab";
    CabRun asked = runCab("-x -k " + q(dir / "set1.cab") + " " + q(dir / "out2/") + " \"*.*\"", host.host());
    ASSERT_EQ(asked.result, KA_OK) << asked.output;
    EXPECT_EQ(host.filesAsked, std::vector<std::string>{"set2.cab"});
    EXPECT_EQ(cabtest::readFile(dir / "out2/a.txt"), cabtest::readFile(dir / "src/a.txt"));
}

TEST(CabCommand, TheCabinetBeingReplacedIsNotPackedIntoItself) {
    TempDir dir;
    makeTree(dir);
    ASSERT_EQ(runCab("-a -r " + q(dir / "src/self.cab") + " " + q(dir / "src/") + " \"*.*\"").result, KA_OK);
    ASSERT_EQ(runCab("-a -r " + q(dir / "src/self.cab") + " " + q(dir / "src/") + " \"*.*\"").result, KA_OK);
    for (const auto& e : list(dir / "src/self.cab")) {
        EXPECT_NE(e.name, "self.cab");
        EXPECT_EQ(e.name.find(".kes-"), std::string::npos) << "no temporary file of the writer: " << e.name;
    }
    // A set written into the folder it packs leaves out all of its own volumes.
    for (int round = 0; round < 2; ++round)
        ASSERT_EQ(runCab("-a -r -v:40 " + q(dir / "src/vol.cab") + " " + q(dir / "src/") + " \"*.*\"").result, KA_OK);
    for (const auto& e : list(dir / "src/vol1.cab")) EXPECT_EQ(e.name.find("vol"), std::string::npos) << e.name;
}

TEST(CabCommand, NamesWithoutTheUtf8MarkAreReadAsCp932) {
    TempDir dir;
    // "日本.txt" in CP932, as cabinets made on Japanese Windows store it.
    const std::string cp932 = "\x93\xfa\x96\x7b.txt";
    ASSERT_EQ(cabtest::writeCabinet(dir / "sjis.cab", {{"dir\\" + cp932, "data"}}, {}, dir), 0);
    EntryInfo e{};
    void* h = CabOpenArchive(nullptr, (dir / "sjis.cab").c_str(), 0);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(CabFindFirst(h, "*.*", &e), 0);
    EXPECT_STREQ(e.name, "dir/日本.txt");
    CabCloseArchive(h);
    ASSERT_EQ(runCab("-x " + q(dir / "sjis.cab") + " " + q(dir / "out/")).result, KA_OK);
    EXPECT_EQ(cabtest::readFile(dir / "out/dir/日本.txt"), "data");
}

TEST(CabCommand, SelfExtractingProgramsHoldEveryFileEvenOfASet) {
    TempDir dir;
    makeTree(dir);
    ASSERT_EQ(runCab("-a -r -ml:16 -v:4 " + q(dir / "set.cab") + " " + q(dir / "src/") + " \"*.*\"").result, KA_OK);
    CabRun made = runCab("-f " + q(dir / "set2.cab") + " " + q(dir / "prog/") + " \"*.*\"");
    if (made.result == KA_ERR_UNSUPPORTED) GTEST_SKIP() << "built without the self-extracting stub";
    ASSERT_EQ(made.result, KA_OK) << made.output;
    struct stat st{};
    ASSERT_EQ(::stat((dir / "prog/set2.run").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    std::string log;
    ASSERT_EQ(cabtest::runTool(cabtest::quote(dir / "prog/set2.run") + " -q -d " + cabtest::quote(dir / "x"), &log), 0)
        << log;
    EXPECT_EQ(cabtest::readFile(dir / "x/a.txt"), cabtest::readFile(dir / "src/a.txt"));
    EXPECT_EQ(cabtest::readFile(dir / "x/日本語.txt"), cabtest::readFile(dir / "src/日本語.txt"));
    for (const std::string& f : dir.files()) EXPECT_EQ(f.find(".kes-"), std::string::npos) << f;
    // The program is an archive to this library too: its cabinet is found behind the stub.
    EXPECT_EQ(list(dir / "prog/set2.run").size(), 6u);
    CabRun back = runCab("-x " + q(dir / "prog/set2.run") + " " + q(dir / "back/") + " " + q("sub\\b.bin"));
    ASSERT_EQ(back.result, KA_OK) << back.output;
    EXPECT_EQ(cabtest::readFile(dir / "back/sub/b.bin"), cabtest::readFile(dir / "src/sub/b.bin"));
    // An existing program is kept without the host's yes.
    EXPECT_EQ(runCab("-f " + q(dir / "set2.cab") + " " + q(dir / "prog/")).result, KA_WARN_SKIPPED);
}

TEST(CabCommand, ACabinetBehindOtherDataIsFound) {
    TempDir dir;
    ASSERT_EQ(cabtest::writeCabinet(dir / "in.cab", {{"sub\\a.txt", "inner"}}, {}, dir), 0);
    // A stub that even names the signature, as a self-extractor's own code may.
    std::string stub = cabtest::sampleData(70001, 7, false) + "MSCF" + std::string(40, '\0');
    cabtest::writeFile(dir / "wrapped.bin", stub + cabtest::readFile(dir / "in.cab") + "trailing");
    auto entries = list(dir / "wrapped.bin");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "sub/a.txt");
    CabRun r = runCab("-x " + q(dir / "wrapped.bin") + " " + q(dir / "out/"));
    ASSERT_EQ(r.result, KA_OK) << r.output;
    EXPECT_NE(r.output.find("sub/a.txt"), std::string::npos) << r.output;
    EXPECT_EQ(cabtest::readFile(dir / "out/sub/a.txt"), "inner");
}

TEST(CabCommand, ANameEndingInASeparatorIsAFolder) {
    TempDir dir;
    ASSERT_EQ(cabtest::writeCabinet(dir / "f.cab", {{"docs\\", ""}, {"docs\\a.txt", "a"}}, {}, dir), 0);
    void* h = CabOpenArchive(nullptr, (dir / "f.cab").c_str(), 0);
    ASSERT_NE(h, nullptr);
    EntryInfo e{};
    ASSERT_EQ(CabFindFirst(h, "*.*", &e), 0);
    EXPECT_EQ(e.flags & ENTRY_FLAG_FOLDER, ENTRY_FLAG_FOLDER);
    ASSERT_EQ(CabFindNext(h, &e), 0);
    EXPECT_EQ(e.flags & ENTRY_FLAG_FOLDER, 0u);
    CabCloseArchive(h);
    ASSERT_EQ(runCab("-x " + q(dir / "f.cab") + " " + q(dir / "out/")).result, KA_OK);
    EXPECT_EQ(cabtest::readFile(dir / "out/docs/a.txt"), "a");
}

TEST(CabCommand, CancellingMidFileLeavesNoPartOfIt) {
    TempDir dir;
    cabtest::writeFile(dir / "src/big.txt", cabtest::sampleData(300000, 4, true));
    ASSERT_EQ(runCab("-a -r " + q(dir / "b.cab") + " " + q(dir / "src/") + " \"*.*\"").result, KA_OK);
    cabtest::ScriptedHost host;
    host.cancelAfterBytes = 100000;
    CabRun r = runCab("-x " + q(dir / "b.cab") + " " + q(dir / "out/"), host.host());
    EXPECT_EQ(r.result, KA_ERR_CANCELLED) << r.output;
    EXPECT_GT(host.progressCalls(), 2u);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"b.cab", "src/big.txt"}));
    // Creating reports progress the same way and a cancel leaves no cabinet.
    cabtest::ScriptedHost creating;
    creating.cancelAfterBytes = 100000;
    EXPECT_EQ(runCab("-a -r " + q(dir / "c.cab") + " " + q(dir / "src/") + " \"*.*\"", creating.host()).result,
              KA_ERR_CANCELLED);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"b.cab", "src/big.txt"}));
}

TEST(CabCommand, AnEntryNameIsTakenLiterallyBeforeAsAPattern) {
    TempDir dir;
    ASSERT_EQ(cabtest::writeCabinet(dir / "w.cab", {{"a*.txt", "star"}, {"abc.txt", "abc"}, {"sub\\a?.txt", "q"}}, {}, dir), 0);
    ASSERT_EQ(runCab("-x " + q(dir / "w.cab") + " " + q(dir / "one/") + " " + q("a*.txt")).result, KA_OK);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"in0", "in1", "in2", "one/a*.txt", "w.cab"}));
    // A pattern that names no entry still matches by its wildcards.
    ASSERT_EQ(runCab("-x " + q(dir / "w.cab") + " " + q(dir / "many/") + " " + q("ab*")).result, KA_OK);
    EXPECT_TRUE(cabtest::exists(dir / "many/abc.txt"));
    EXPECT_FALSE(cabtest::exists(dir / "many/a*.txt"));
}

// Every command line the window sends reports one progress for the whole call,
// never running back: MSZIP, LZX:21 and a set when packing, a set when extracting,
// and the self-extracting program.
TEST(CabCommand, EveryWindowCommandReportsTheWholeCall) {
    TempDir dir;
    cabtest::writeFile(dir / "src/a.txt", cabtest::sampleData(200000, 1, true));
    cabtest::writeFile(dir / "src/b.bin", cabtest::sampleData(150000, 2, false));
    cabtest::writeFile(dir / "src/sub/c.txt", cabtest::sampleData(120000, 3, true));
    const std::string src = q(dir / "src/") + " \"*.*\"";
    const std::string lines[] = {
        "-a -r -mz " + q(dir / "z.cab") + " " + src,
        "-a -r -ml:21 " + q(dir / "x.cab") + " " + src,
        "-a -r -ml:21 -v:100 " + q(dir / "set.cab") + " " + src,
        "-x " + q(dir / "x.cab") + " " + q(dir / "out/") + " \"*.*\"",
        "-x -j " + q(dir / "z.cab") + " " + q(dir / "flat/") + " \"sub\\c.txt\"",
        "-x -k " + q(dir / "set1.cab") + " " + q(dir / "set/") + " \"*.*\"",
        "-f " + q(dir / "x.cab") + " " + q(dir / "run/"),
        "-f " + q(dir / "set1.cab") + " " + q(dir / "runset/"),
    };
    for (const std::string& line : lines) {
        cabtest::ScriptedHost host;
        CabRun r = runCab(line, host.host());
        ASSERT_EQ(r.result, KA_OK) << line << "\n" << r.output;
        ASSERT_FALSE(host.reports.empty()) << line;
        EXPECT_EQ(kestrel::test::progressFault(host.reports), "") << line;
        EXPECT_GT(host.reports.back().done, 0u) << line;
        // Names are shown with '/', as the listing gives them.
        for (const auto& report : host.reports)
            EXPECT_EQ(report.name.find('\\'), std::string::npos) << line << ": " << report.name;
    }
}
