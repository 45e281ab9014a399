// ZIP archives written by the peer tools (Info-ZIP zip, 7-Zip, Python's zipfile), listed
// and extracted by libunzip32, compared byte for byte with what went in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <random>

#include "ArchiverApi.h"
#include "PeerTool.h"
#include "TestSupport.h"

namespace kestrel::test {
namespace {

constexpr time_t kStamp = 1600000001;  // odd: only the UTC time fields hold it exactly

int shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string sq(const std::string& s) { return "'" + s + "'"; }

// A small tree of files the archives are made from.
std::map<std::string, std::string> makeSource(const std::string& root) {
    std::mt19937 random(42);
    std::string binary(70000, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "line " + std::to_string(i) + " of some text\n";
    const std::map<std::string, std::string> files = {
        {"readme.txt", text},
        {"empty.dat", ""},
        {"sub/random.bin", binary},
        {"sub/deeper/日本語.txt", "日本語の内容\n"},
    };
    for (const auto& [name, data] : files) {
        const std::string path = root + "/" + name;
        shell("mkdir -p " + sq(path.substr(0, path.rfind('/'))));
        writeFile(path, data);
        utimbuf times{kStamp, kStamp};
        utime(path.c_str(), &times);
    }
    return files;
}

std::map<std::string, EntryInfo> listing(const std::string& archive) {
    std::map<std::string, EntryInfo> out;
    void* handle = UnZipOpenArchive(nullptr, archive.c_str(), 0);
    EXPECT_NE(handle, nullptr) << archive;
    if (!handle)
        return out;
    EntryInfo e;
    for (int r = UnZipFindFirst(handle, "*.*", &e); r == 0; r = UnZipFindNext(handle, &e))
        out[std::string(e.name, strnlen(e.name, sizeof e.name))] = e;
    UnZipCloseArchive(handle);
    return out;
}

std::string methodOf(const EntryInfo& e) { return std::string(e.method, strnlen(e.method, 8)); }

class ZipInterop : public ::testing::Test {
protected:
    void SetUp() override {
        src = dir / "src";
        files = makeSource(src);
    }
    // Extracts everything and checks each file's bytes and time.
    void expectExtractsExactly(const std::string& archive, void* host = nullptr) {
        const std::string out = dir / ("out" + std::to_string(++outputs));
        std::string report;
        ASSERT_EQ(runUnZip(host, "-x \"" + archive + "\" \"" + out + "/\" \"*.*\"", &report), KA_OK)
            << report;
        for (const auto& [name, data] : files) {
            EXPECT_EQ(readFile(out + "/" + name), data) << name << " from " << archive;
            struct stat st;
            ASSERT_EQ(stat((out + "/" + name).c_str(), &st), 0) << name;
            EXPECT_EQ(st.st_mtime, kStamp) << name;
        }
    }
    TempDir dir;
    std::string src;
    std::map<std::string, std::string> files;
    int outputs = 0;
};

TEST_F(ZipInterop, InfoZipStoredAndDeflated) {
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    for (const char* level : {"-0", "-9"}) {
        const std::string archive = dir / (std::string("info") + level + ".zip");
        ASSERT_EQ(shell("cd " + sq(src) + " && zip -q -r " + level + " " + sq(archive) + " ."), 0);
        const auto list = listing(archive);
        ASSERT_EQ(list.count("sub/deeper/日本語.txt"), 1u) << "UTF-8 name without the flag";
        EXPECT_EQ(methodOf(list.at("sub/random.bin")), level[1] == '0' ? "Stored" : "Deflate");
        EXPECT_EQ(methodOf(list.at("readme.txt")), level[1] == '0' ? "Stored" : "Deflate");
        EXPECT_EQ(list.at("readme.txt").originalSize, static_cast<int32_t>(files["readme.txt"].size()));
        EXPECT_EQ(list.at("sub/").flags & ENTRY_FLAG_FOLDER, uint32_t{ENTRY_FLAG_FOLDER});
        expectExtractsExactly(archive);
    }
}

TEST_F(ZipInterop, SevenZipMethods) {
    if (!haveTool("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    // LZMA with and without its end marker, and XZ, are decoded here; PPMd and
    // Deflate64 are reported as unsupported, never misread.
    const std::map<std::string, std::string> methods = {
        {"Copy", "Stored"}, {"Deflate", "Deflate"}, {"Deflate64", "Deflat64"}, {"BZip2", "BZip2"},
        {"LZMA", "LZMA"},   {"LZMA:eos", "LZMA"},   {"XZ", "XZ"},             {"PPMd", "PPMd"}};
    for (const auto& [method, text] : methods) {
        const std::string archive = dir / ("7z-" + method + ".zip");
        ASSERT_EQ(shell("cd " + sq(src) + " && 7zz a -tzip -mm=" + method + " " + sq(archive) +
                        " ."),
                  0);
        const auto list = listing(archive);
        ASSERT_EQ(list.count("sub/deeper/日本語.txt"), 1u) << "UTF-8 flag set by 7-Zip";
        EXPECT_EQ(methodOf(list.at("readme.txt")), text);
        const int result = runUnZip(nullptr, "-t \"" + archive + "\"");
        if (method == "Deflate64" || method == "PPMd") {
            EXPECT_EQ(result, KA_ERR_UNSUPPORTED) << method;
            continue;
        }
        EXPECT_EQ(result, KA_OK) << method;
        expectExtractsExactly(archive);
    }
}

TEST_F(ZipInterop, AnInfoZipArchiveBehindAStubWithAndWithoutAdjustedOffsets) {
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    const std::string archive = dir / "plain.zip";
    ASSERT_EQ(shell("cd " + sq(src) + " && zip -q -r " + sq(archive) + " ."), 0);
    std::string stub(66000, 'S');
    writeFile(dir / "as-is.run", stub + readFile(archive));
    writeFile(dir / "adjusted.run", stub + readFile(archive));
    ASSERT_EQ(shell("zip -q -A " + sq(dir / "adjusted.run")), 0);
    expectExtractsExactly(dir / "as-is.run");
    expectExtractsExactly(dir / "adjusted.run");
}

TEST_F(ZipInterop, Cp932NamesFromAWindowsStyleArchive) {
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    // zipfile writes ASCII names without the UTF-8 flag; the placeholder is then
    // overwritten in place by the CP932 bytes of 日本語 (same length).
    const std::string archive = dir / "cp932.zip";
    const std::string script =
        "import zipfile,sys\n"
        "with zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED) as z:\n"
        "    z.writestr('XXXXXX.txt', '日本語の内容\\n'.encode())\n"
        "    z.writestr('dir/XXXXXX/a.txt', b'in folder')\n"
        "d=open(sys.argv[1],'rb').read().replace(b'XXXXXX','日本語'.encode('cp932'))\n"
        "open(sys.argv[1],'wb').write(d)\n";
    writeFile(dir / "make.py", script);
    ASSERT_EQ(shell("python3 " + sq(dir / "make.py") + " " + sq(archive)), 0);
    const auto list = listing(archive);
    EXPECT_EQ(list.count("日本語.txt"), 1u);
    EXPECT_EQ(list.count("dir/日本語/a.txt"), 1u);
    const std::string out = dir / "cp";
    ASSERT_EQ(runUnZip(nullptr, "-x \"" + archive + "\" \"" + out + "/\" \"*.*\""), KA_OK);
    EXPECT_EQ(readFile(out + "/日本語.txt"), "日本語の内容\n");
    EXPECT_EQ(readFile(out + "/dir/日本語/a.txt"), "in folder");
    // The viewer hands back the names it listed.
    const std::string one = dir / "one";
    ASSERT_EQ(runUnZip(nullptr, "-x \"" + archive + "\" \"" + one + "/\" \"dir/日本語/a.txt\""), KA_OK);
    EXPECT_EQ(listTree(one), (std::vector<std::string>{"dir/", "dir/日本語/", "dir/日本語/a.txt"}));
}

TEST_F(ZipInterop, EncryptedByInfoZip) {
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    const std::string archive = dir / "zipcrypto.zip";
    ASSERT_EQ(shell("cd " + sq(src) + " && zip -q -r -P pa55 " + sq(archive) + " ."), 0);
    const std::string out = dir / "skipped";
    std::string report;
    EXPECT_EQ(runUnZip(nullptr, "-x \"" + archive + "\" \"" + out + "/\" \"*.*\"", &report),
              KA_WARN_SKIPPED);
    EXPECT_FALSE(exists(out + "/readme.txt")) << report;
    ScriptedHost host;
    host.texts = {std::string("pa55")};
    expectExtractsExactly(archive, host.host());
    EXPECT_EQ(host.prompts.size(), 1u);
}

TEST_F(ZipInterop, AesBySevenZip) {
    if (!haveTool("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    // 7-Zip stores the random file (it does not compress) as AES version 2 without a
    // CRC, the case libzip 1.7 cannot check by itself.
    const std::string archive = dir / "aes.zip";
    ASSERT_EQ(shell("cd " + sq(src) + " && 7zz a -tzip -ppa55 -mem=AES256 " + sq(archive) + " ."), 0);
    ScriptedHost host;
    host.texts = {std::string("pa55")};
    expectExtractsExactly(archive, host.host());
    EXPECT_EQ(host.prompts.size(), 1u);
}

TEST_F(ZipInterop, AesWithEveryCompressionMethodBySevenZip) {
    if (!haveTool("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    // Decrypted first, then decoded by the method the entry names.
    for (const char* method : {"BZip2", "LZMA", "XZ"}) {
        const std::string archive = dir / (std::string("aes-") + method + ".zip");
        ASSERT_EQ(shell("cd " + sq(src) + " && 7zz a -tzip -mm=" + method + " -ppa55 -mem=AES256 " +
                        sq(archive) + " ."),
                  0);
        ScriptedHost host;
        host.texts = {std::string("pa55")};
        expectExtractsExactly(archive, host.host());
        EXPECT_EQ(host.prompts.size(), 1u) << method;
    }
    ScriptedHost wrong;
    wrong.texts = {std::string("nope"), std::string("no"), std::string("n")};
    EXPECT_EQ(runUnZip(wrong.host(), "-x \"" + dir / "aes-BZip2.zip" + "\" \"" + dir / "w" + "/\" \"*.*\""),
              KA_WARN_SKIPPED);
    EXPECT_FALSE(exists(dir / "w/readme.txt"));
}

TEST_F(ZipInterop, AesStoredEntryDamageAndWrongPasswordAreCaught) {
    if (!haveTool("7zz"))
        GTEST_SKIP() << "7zz is not installed";
    const std::string archive = dir / "aes-stored.zip";
    ASSERT_EQ(shell("cd " + sq(src) + " && 7zz a -tzip -mm=Copy -ppa55 -mem=AES256 " + sq(archive) +
                    " sub/random.bin"),
              0);
    const std::string bytes = readFile(archive);
    std::string damaged = bytes;
    damaged[bytes.size() / 2] ^= 0x01;  // inside the 70000 bytes of data
    writeFile(dir / "aes-damaged.zip", damaged);

    ScriptedHost right;
    right.texts = {std::string("pa55")};
    std::string report;
    EXPECT_EQ(runUnZip(right.host(), "-x \"" + dir / "aes-damaged.zip" + "\" \"" + dir / "d" + "/\" \"*.*\"",
                       &report),
              KA_ERR_DAMAGED)
        << report;
    EXPECT_FALSE(exists(dir / "d/sub/random.bin"));

    ScriptedHost wrong;
    wrong.texts = {std::string("nope"), std::string("no"), std::string("n")};
    EXPECT_EQ(runUnZip(wrong.host(), "-x \"" + archive + "\" \"" + dir / "w" + "/\" \"*.*\""),
              KA_WARN_SKIPPED);
    EXPECT_FALSE(exists(dir / "w/sub/random.bin"));
    EXPECT_EQ(wrong.prompts.size(), 3u);
}

TEST_F(ZipInterop, OurExtractionMatchesInfoZipUnzip) {
    if (!haveTool("zip") || !haveTool("unzip"))
        GTEST_SKIP() << "zip or unzip is not installed";
    const std::string archive = dir / "both.zip";
    ASSERT_EQ(symlink("../readme.txt", (src + "/sub/link").c_str()), 0);
    ASSERT_EQ(shell("cd " + sq(src) + " && zip -q -r -y " + sq(archive) + " ."), 0);
    const std::string theirs = dir / "theirs";
    const std::string ours = dir / "ours";
    ASSERT_EQ(shell("unzip -q " + sq(archive) + " -d " + sq(theirs)), 0);
    ASSERT_EQ(runUnZip(nullptr, "-x \"" + archive + "\" \"" + ours + "/\" \"*.*\""), KA_OK);
    EXPECT_EQ(shell("diff -r " + sq(theirs) + " " + sq(ours)), 0);
    EXPECT_EQ(listTree(theirs), listTree(ours));
    char target[64] = {};
    ASSERT_GT(readlink((ours + "/sub/link").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "../readme.txt");
}

}  // namespace
}  // namespace kestrel::test
