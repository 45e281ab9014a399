// Listing through UnZipOpenArchive / FindFirst / FindNext / CloseArchive.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "ArchiverApi.h"
#include "DosTime.h"
#include "NameEncoding.h"
#include "TestSupport.h"
#include "ZipBuilder.h"
#include "ZipEntryRecord.h"
#include "ZipNames.h"

namespace kestrel::test {
namespace {

const std::string kCp932Name = "\x93\xfa\x96\x7b\x8c\xea.txt";  // 日本語.txt
const std::string kUtf8Name = "日本語.txt";

std::string field(const char* text, size_t width) { return std::string(text, strnlen(text, width)); }

// Lists an archive into name -> record.
std::map<std::string, EntryInfo> listAll(const std::string& path, const char* pattern = "*.*") {
    std::map<std::string, EntryInfo> out;
    void* archive = UnZipOpenArchive(nullptr, path.c_str(), 0);
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr)
        return out;
    EntryInfo e;
    std::memset(&e, 0, sizeof e);
    for (int r = UnZipFindFirst(archive, pattern, &e); r == 0; r = UnZipFindNext(archive, &e))
        out[field(e.name, sizeof e.name)] = e;
    EXPECT_NE(UnZipFindNext(archive, &e), 0) << "the end stays the end";
    EXPECT_EQ(UnZipCloseArchive(archive), 0);
    return out;
}

TEST(ZipListing, RecordFieldsFromDosAndUnixEntries) {
    TempDir dir;
    const std::string text(5000, 'k');
    ZipBuilder b;
    ZipBuilderEntry readOnly;
    readOnly.name = "ro.txt";
    readOnly.data = text;
    readOnly.deflate = true;
    readOnly.externalAttributes = 0x21;  // read-only + archive
    b.add(readOnly);
    b.file("empty", "");
    ZipBuilderEntry folder;
    folder.name = "docs/";
    folder.externalAttributes = 0x10;
    b.add(folder);
    b.unixEntry(".hidden", "x", 0100444);
    b.unixEntry("run.sh", "#!/bin/sh\n", 0100755);
    const auto list = listAll(b.write(dir / "a.zip"));
    ASSERT_EQ(list.size(), 5u);

    const EntryInfo& ro = list.at("ro.txt");
    EXPECT_EQ(ro.originalSize, 5000);
    EXPECT_EQ(field(ro.method, 8), "Deflate");
    EXPECT_EQ(field(ro.attribute, 8), "R--A");
    EXPECT_EQ(ro.ratio, zip::ratioTenths(ro.compressedSize, 5000));
    EXPECT_GT(ro.ratio, 0);
    EXPECT_LT(ro.ratio, 100);
    EXPECT_EQ(ro.dosDate, 0x5A2F);
    EXPECT_EQ(ro.dosTime, 0x6C83);
    EXPECT_EQ(ro.crc, crc32Of(text));

    EXPECT_EQ(list.at("empty").ratio, 0);
    EXPECT_EQ(field(list.at("empty").method, 8), "Stored");
    EXPECT_EQ(list.at("docs/").flags & ENTRY_FLAG_FOLDER, 1u);
    EXPECT_EQ(list.at("ro.txt").flags & ENTRY_FLAG_FOLDER, 0u);
    EXPECT_EQ(field(list.at(".hidden").attribute, 8), "RH-A");
    EXPECT_EQ(field(list.at("run.sh").attribute, 8), "---A");
}

TEST(ZipListing, NamesByFlagOrGuessedEncoding) {
    TempDir dir;
    ZipBuilder b;
    ZipBuilderEntry flagged;
    flagged.name = "フォルダ/" + kUtf8Name;
    flagged.utf8Flag = true;
    b.add(flagged);
    b.file(kCp932Name, "cp932");      // Windows-made: CP932, no flag
    b.file("linux-テスト.txt", "u");  // Linux zip: UTF-8 without the flag
    b.file("plain.txt", "ascii");
    const auto list = listAll(b.write(dir / "n.zip"));
    EXPECT_EQ(list.count("フォルダ/" + kUtf8Name), 1u);
    EXPECT_EQ(list.count(kUtf8Name), 1u);
    EXPECT_EQ(list.count("linux-テスト.txt"), 1u);
    EXPECT_EQ(list.count("plain.txt"), 1u);
}

TEST(ZipListing, StoredNamesAlwaysBecomeValidUtf8) {
    // 表 is 0x95 0x5C in CP932: its second byte is '\'.
    EXPECT_EQ(zip::decodeStoredName("\x95\x5c.txt"), "表.txt");
    EXPECT_EQ(zip::decodeStoredName("ok/名前.txt"), "ok/名前.txt");
    const std::string junk = zip::decodeStoredName("bad\xff\xfe.txt");
    EXPECT_TRUE(arc::NameEncoding::isValidUtf8(junk)) << junk;
    EXPECT_NE(junk, zip::decodeStoredName("bad\xff\xfd.txt")) << "names stay apart";
}

TEST(ZipListing, UnicodePathFieldWinsWhenItMatchesTheName) {
    TempDir dir;
    const std::string raw = "old-name.txt";
    const std::string utf8 = "新しい.txt";
    auto field7075 = [&](uint32_t crc) {
        std::string f = "\x75\x70";
        const uint16_t len = static_cast<uint16_t>(5 + utf8.size());
        f += static_cast<char>(len & 0xff);
        f += static_cast<char>(len >> 8);
        f += '\x01';
        for (int i = 0; i < 4; ++i)
            f += static_cast<char>((crc >> (8 * i)) & 0xff);
        return f + utf8;
    };
    ZipBuilder b;
    ZipBuilderEntry good;
    good.name = "\x82\xa0.txt";  // あ.txt in CP932
    good.extra = field7075(crc32Of(good.name));
    b.add(good);
    ZipBuilderEntry stale;  // renamed by a tool that ignored the field
    stale.name = "\x82\xa2.txt";  // い.txt
    stale.extra = field7075(crc32Of(raw));
    b.add(stale);
    const auto list = listAll(b.write(dir / "u.zip"));
    EXPECT_EQ(list.count(utf8), 1u);
    EXPECT_EQ(list.count("い.txt"), 1u);
}

TEST(ZipListing, PatternSelectsEntries) {
    TempDir dir;
    ZipBuilder b;
    b.file("a.txt", "1").file("b.bin", "2").file("sub/c.txt", "3");
    const std::string path = b.write(dir / "p.zip");
    EXPECT_EQ(listAll(path, "*.txt").size(), 2u);
    EXPECT_EQ(listAll(path, "*.*").size(), 3u);
    EXPECT_EQ(listAll(path, "b.bin").size(), 1u);

    void* archive = UnZipOpenArchive(nullptr, path.c_str(), 0);
    ASSERT_NE(archive, nullptr);
    EntryInfo e;
    EXPECT_NE(UnZipFindFirst(archive, "nothing*", &e), 0);
    // FindFirst starts over.
    EXPECT_EQ(UnZipFindFirst(archive, "*.*", &e), 0);
    EXPECT_EQ(field(e.name, sizeof e.name), "a.txt");
    UnZipCloseArchive(archive);
}

TEST(ZipListing, BadHandlesAndFilesAreRefused) {
    TempDir dir;
    EntryInfo e;
    EXPECT_EQ(UnZipOpenArchive(nullptr, (dir / "missing.zip").c_str(), 0), nullptr);
    writeFile(dir / "text.zip", "this is not an archive at all, just text");
    EXPECT_EQ(UnZipOpenArchive(nullptr, (dir / "text.zip").c_str(), 0), nullptr);
    EXPECT_EQ(UnZipOpenArchive(nullptr, nullptr, 0), nullptr);
    int local = 0;
    EXPECT_NE(UnZipFindFirst(&local, "*.*", &e), 0);
    EXPECT_NE(UnZipFindNext(nullptr, &e), 0);
    EXPECT_NE(UnZipCloseArchive(&local), 0);

    ZipBuilder b;
    b.file("a", "1");
    void* archive = UnZipOpenArchive(nullptr, b.write(dir / "ok.zip").c_str(), 0);
    ASSERT_NE(archive, nullptr);
    EXPECT_NE(UnZipFindFirst(archive, "*.*", nullptr), 0);
    EXPECT_EQ(UnZipCloseArchive(archive), 0);
    EXPECT_NE(UnZipCloseArchive(archive), 0) << "a closed handle is not closed twice";
}

TEST(ZipListing, LongNamesAreCutWholeCharactersAndMarked) {
    TempDir dir;
    std::string name;
    while (name.size() < 600)
        name += "あ";  // three bytes each: 512 is not a character boundary
    ZipBuilder b;
    ZipBuilderEntry e;
    e.name = name;
    e.utf8Flag = true;
    b.add(e);
    b.file("short.txt", "x");
    const auto list = listAll(b.write(dir / "long.zip"));
    ASSERT_EQ(list.size(), 2u);
    auto cut = std::find_if(list.begin(), list.end(), [](const auto& item) { return item.first != "short.txt"; });
    const std::string shown = cut->first;
    EXPECT_LE(shown.size(), 512u);
    EXPECT_EQ(shown.size() % 3, 0u);
    EXPECT_EQ(name.compare(0, shown.size(), shown), 0);
    EXPECT_NE(cut->second.flags & ENTRY_FLAG_NAME_CUT, 0u);
    EXPECT_EQ(list.at("short.txt").flags & ENTRY_FLAG_NAME_CUT, 0u);
}

TEST(ZipListing, SizesOf2GiBAndMoreAreCarriedWhole) {
    TempDir dir;
    ZipBuilder b;
    ZipBuilderEntry e;
    e.name = "big.iso";
    e.data = "tiny";
    e.declaredSize = 0xC0000005u;  // 3 GiB and 5 bytes
    b.add(e);
    const auto list = listAll(b.write(dir / "big.zip"));
    ASSERT_EQ(list.count("big.iso"), 1u);
    EXPECT_EQ(EntryInfoSize(&list.at("big.iso")), int64_t{0xC0000005});
}

TEST(ZipRatio, TenthsOfAPercent) {
    EXPECT_EQ(zip::ratioTenths(0, 0), 0);
    EXPECT_EQ(zip::ratioTenths(10, 0), 0);
    EXPECT_EQ(zip::ratioTenths(523, 1000), 523);
    EXPECT_EQ(zip::ratioTenths(1, 3), 333);
    EXPECT_EQ(zip::ratioTenths(2, 3), 667);
    EXPECT_EQ(zip::ratioTenths(1000, 1000), 1000);
    EXPECT_EQ(zip::ratioTenths(1000000, 1), 32767) << "capped to the 16-bit field";
}

}  // namespace
}  // namespace kestrel::test
