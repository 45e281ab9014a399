#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CabinetWriter.h"
#include "SafePath.h"
#include "SfxTrailer.h"
#include "UnlhaTestSupport.h"

namespace {

std::string binFolder() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string self(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return self.substr(0, self.rfind('/'));
}

// Runs `program args` in `folder`; returns its exit status.
int runIn(const std::string& folder, const std::string& program, const std::string& args = "") {
    int status = std::system(("cd " + q(folder) + " && " + q(program) + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string output(const std::string& program, const std::string& args) {
    std::string text;
    FILE* p = popen((q(program) + " " + args + " 2>&1").c_str(), "r");
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) text += buf;
    if (p) pclose(p);
    return text;
}

class Sfx : public ::testing::Test {
protected:
    void SetUp() override {
        src.write("readme.txt", "read me");
        src.write("data/table.csv", std::string(100000, ','));
        src.write("data/日本.txt", "日本");
        archive = work / "pack.lzh";
        ASSERT_EQ(unlha("a -x1 -r2 -a2 " + q(archive) + " " + q(src.path() + "/") + " \"*.*\"").code, KA_OK);
    }
    std::string makeRun(const std::string& options) {
        auto r = unlha("s " + options + " " + q(archive) + " " + q(work.path() + "/") + " \"*.*\"");
        EXPECT_EQ(r.code, KA_OK) << r.output;
        return work / "pack.run";
    }
    TempDir src, work, run;
    std::string archive;
};

}  // namespace

TEST_F(Sfx, ProgramExtractsIntoACleanFolderAndKeepsExistingFiles) {
    std::string program = makeRun("-a1 -m0 -x1 -gwj1");
    EXPECT_EQ(runIn(run.path(), program), 0);
    EXPECT_EQ(TempDir::read(run / "readme.txt"), "read me");
    EXPECT_EQ(TempDir::read(run / "data/table.csv"), std::string(100000, ','));
    EXPECT_EQ(TempDir::read(run / "data/日本.txt"), "日本");
    // A second run keeps the user's changes unless -o is given.
    run.write("readme.txt", "changed");
    EXPECT_EQ(runIn(run.path(), program), 1);
    EXPECT_EQ(TempDir::read(run / "readme.txt"), "changed");
    EXPECT_EQ(runIn(run.path(), program, "-o"), 0);
    EXPECT_EQ(TempDir::read(run / "readme.txt"), "read me");
}

TEST_F(Sfx, DestinationOptionListingAndFlatExtraction) {
    std::string program = makeRun("-m0");  // without -x1: no folders
    EXPECT_EQ(runIn(run.path(), program, "-d " + q(run / "there")), 0);
    EXPECT_EQ(tree(run / "there"), (std::vector<std::string>{"readme.txt", "table.csv", "日本.txt"}));
    std::string listing = output(program, "-l");
    EXPECT_NE(listing.find("data/table.csv"), std::string::npos);
    EXPECT_NE(listing.find("100000"), std::string::npos);
    EXPECT_EQ(runIn(run.path(), program, "-bogus"), 2);
}

TEST_F(Sfx, UnsafeNamesAreRefusedAndRootsDroppedByTheProgram) {
    TempDir outside;
    MadeEntry link{"out|" + outside.path()};
    link.symlink = true;
    archive = writeArchive(work, "pack.lzh", {{"../up.txt", "x"}, {outside / "abs.txt", "x"}, link, {"ok.txt", "ok"}});
    std::string program = makeRun("-x1");
    std::filesystem::create_directories(run / "inner");
    EXPECT_EQ(runIn(run / "inner", program), 1);
    // The rooted name lands below the destination; ".." and the link stay out.
    EXPECT_EQ(TempDir::read(run / ("inner" + outside / "abs.txt")), "x");
    EXPECT_FALSE(std::filesystem::exists(run / "up.txt"));
    EXPECT_FALSE(std::filesystem::exists(run / "inner/out"));
    EXPECT_TRUE(tree(outside.path()).empty());
}

TEST_F(Sfx, CabinetPayloadIsExtractedToo) {
    if (std::system("command -v gcab >/dev/null 2>&1") != 0) GTEST_SKIP() << "gcab missing";
    std::string cab = work / "p.cab";
    ASSERT_EQ(std::system(("cd " + q(src.path()) + " && gcab -c -z " + q(cab) + " readme.txt data/table.csv >/dev/null")
                              .c_str()),
              0);
    struct stat st;
    ASSERT_EQ(stat(cab.c_str(), &st), 0);
    std::string program = work / "p.run";
    char error[256] = "";
    ASSERT_EQ(kestrel_sfx_write((binFolder() + "/kestrel-sfx").c_str(), program.c_str(), cab.c_str(), 0,
                                static_cast<uint64_t>(st.st_size), KESTREL_SFX_CAB, KESTREL_SFX_KEEP_FOLDERS,
                                error, sizeof error),
              1)
        << error;
    EXPECT_EQ(runIn(run.path(), program), 0);
    EXPECT_EQ(TempDir::read(run / "readme.txt"), "read me");
    EXPECT_EQ(TempDir::read(run / "data/table.csv"), std::string(100000, ','));
    EXPECT_EQ(runIn(run.path(), program), 1);  // existing files kept
}

TEST_F(Sfx, CabinetPayloadDropsRootsAndRefusesDotDot) {
    TempDir outside;
    std::vector<kestrel::arc::cab::CabInput> inputs;
    for (const auto& [name, data] : std::vector<std::pair<std::string, std::string>>{
             {outside / "abs.txt", "r"}, {"C:\\win\\c.txt", "c"}, {"\\..\\up.txt", "u"}, {"ok.txt", "ok"}}) {
        kestrel::arc::cab::CabInput in;
        in.diskPath = work.write("in" + std::to_string(inputs.size()), data);
        in.record.name = name;
        in.record.size = static_cast<uint32_t>(data.size());
        in.record.date = (45 << 9) | (5 << 5) | 6;
        in.record.attributes = 0x20;
        inputs.push_back(in);
    }
    std::string cab = work / "rooted.cab", message;
    ASSERT_EQ(kestrel::arc::cab::CabinetWriter(cab, {}).write(std::move(inputs), nullptr, message), KA_OK) << message;
    std::string program = work / "rooted.run";
    char error[256] = "";
    ASSERT_EQ(kestrel_sfx_write((binFolder() + "/kestrel-sfx").c_str(), program.c_str(), cab.c_str(), 0,
                                std::filesystem::file_size(cab), KESTREL_SFX_CAB, KESTREL_SFX_KEEP_FOLDERS, error,
                                sizeof error),
              1)
        << error;
    std::filesystem::create_directories(run / "inner");
    EXPECT_EQ(runIn(run / "inner", program), 1);
    EXPECT_EQ(TempDir::read(run / ("inner" + outside / "abs.txt")), "r");
    EXPECT_EQ(TempDir::read(run / "inner/win/c.txt"), "c");
    EXPECT_EQ(TempDir::read(run / "inner/ok.txt"), "ok");
    EXPECT_FALSE(std::filesystem::exists(run / "up.txt"));
    EXPECT_FALSE(std::filesystem::exists(run / "inner/up.txt"));
    EXPECT_TRUE(tree(outside.path()).empty());
    std::string said = output(program, "-d " + q(run / "again"));
    std::string note = kestrel::arc::SafePath::rootDroppedNote();
    size_t at = said.find(note);
    EXPECT_NE(at, std::string::npos) << said;
    EXPECT_EQ(said.find(note, at + 1), std::string::npos) << said;
}

// The stub's switches over a cabinet: -l lists, -o replaces what is there, and
// the read-only attribute takes the write bits away only when the maker asked.
TEST_F(Sfx, CabinetPayloadListsReplacesAndRestoresReadOnly) {
    kestrel::arc::cab::CabInput in;
    in.diskPath = work.write("ro-in", "new");
    in.record.name = "dir\\ro.txt";
    in.record.size = 3;
    in.record.date = (45 << 9) | (5 << 5) | 6;
    in.record.attributes = 0x21;  // read-only, archive
    std::string cab = work / "ro.cab", message;
    ASSERT_EQ(kestrel::arc::cab::CabinetWriter(cab, {}).write({in}, nullptr, message), KA_OK) << message;
    for (uint32_t restore : {0u, static_cast<uint32_t>(KESTREL_SFX_RESTORE_MODES)}) {
        std::string program = work / ("ro" + std::to_string(restore) + ".run");
        char error[256] = "";
        ASSERT_EQ(kestrel_sfx_write((binFolder() + "/kestrel-sfx").c_str(), program.c_str(), cab.c_str(), 0,
                                    std::filesystem::file_size(cab), KESTREL_SFX_CAB,
                                    KESTREL_SFX_KEEP_FOLDERS | restore, error, sizeof error),
                  1)
            << error;
        EXPECT_NE(output(program, "-l").find("dir/ro.txt"), std::string::npos);
        TempDir out;
        out.write("dir/ro.txt", "old");
        EXPECT_EQ(runIn(out.path(), program), 1);
        EXPECT_EQ(TempDir::read(out / "dir/ro.txt"), "old");
        EXPECT_EQ(runIn(out.path(), program, "-o"), 0);
        EXPECT_EQ(TempDir::read(out / "dir/ro.txt"), "new");
        struct stat st;
        ASSERT_EQ(stat((out / "dir/ro.txt").c_str(), &st), 0);
        EXPECT_EQ((st.st_mode & 0200) == 0, restore != 0);
    }
}

TEST_F(Sfx, TrailerMustMatchTheFile) {
    std::string program = makeRun("");
    int fd = open(program.c_str(), O_RDONLY);
    struct stat st;
    fstat(fd, &st);
    KestrelSfxTrailer t;
    EXPECT_EQ(kestrel_sfx_read_trailer(fd, static_cast<uint64_t>(st.st_size), &t), 1);
    EXPECT_EQ(t.kind, static_cast<uint32_t>(KESTREL_SFX_LZH));
    EXPECT_EQ(t.payloadOffset + t.payloadLength + KESTREL_SFX_TRAILER_SIZE, static_cast<uint64_t>(st.st_size));
    // Read as a shorter file, the payload no longer ends at the trailer.
    EXPECT_EQ(kestrel_sfx_read_trailer(fd, static_cast<uint64_t>(st.st_size) - 1, &t), 0);
    close(fd);
    fd = open(archive.c_str(), O_RDONLY);
    fstat(fd, &st);
    EXPECT_EQ(kestrel_sfx_read_trailer(fd, static_cast<uint64_t>(st.st_size), &t), 0);
    close(fd);
    char error[256] = "";
    EXPECT_EQ(kestrel_sfx_write("/nonexistent/stub", (work / "x.run").c_str(), archive.c_str(), 0, 1, 1, 0, error,
                                sizeof error),
              0);
    EXPECT_NE(error[0], '\0');
    EXPECT_FALSE(std::filesystem::exists(work / "x.run"));
}
