// Archives as other writers leave them: data in front of the archive, zero padding
// after the extra fields, and the LZMA, XZ and Zstandard methods this libzip lacks.
#include <gtest/gtest.h>
#include <lzma.h>
#include <sys/stat.h>
#include <zstd.h>

#include <cstring>
#include <map>

#include "ArchiverApi.h"
#include "DosTime.h"
#include "TestSupport.h"
#include "ZipBuilder.h"

namespace kestrel::test {
namespace {

std::map<std::string, EntryInfo> listAll(const std::string& path) {
    std::map<std::string, EntryInfo> out;
    void* archive = UnZipOpenArchive(nullptr, path.c_str(), 0);
    EXPECT_NE(archive, nullptr) << path;
    if (archive == nullptr)
        return out;
    EntryInfo e{};
    for (int r = UnZipFindFirst(archive, "*.*", &e); r == 0; r = UnZipFindNext(archive, &e))
        out[std::string(e.name, strnlen(e.name, sizeof e.name))] = e;
    UnZipCloseArchive(archive);
    return out;
}

std::string sample(size_t size) {
    std::string s;
    for (size_t i = 0; s.size() < size; ++i)
        s += std::to_string(i * 2654435761u % 100000) + (i % 7 ? " " : "\n");
    return s.substr(0, size);
}

// An entry whose data is already compressed by `method`.
ZipBuilderEntry packed(const std::string& name, uint16_t method, const std::string& data,
                       const std::string& compressed) {
    ZipBuilderEntry e;
    e.name = name;
    e.method = method;
    e.data = compressed;
    e.declaredSize = static_cast<uint32_t>(data.size());
    e.declaredCrc = crc32Of(data);
    return e;
}

std::string zstd(const std::string& data) {
    std::string out(ZSTD_compressBound(data.size()), '\0');
    out.resize(ZSTD_compress(out.data(), out.size(), data.data(), data.size(), 3));
    return out;
}

std::string xz(const std::string& data) {
    std::string out(lzma_stream_buffer_bound(data.size()), '\0');
    size_t used = 0;
    EXPECT_EQ(lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr, reinterpret_cast<const uint8_t*>(data.data()),
                                      data.size(), reinterpret_cast<uint8_t*>(out.data()), &used, out.size()),
              LZMA_OK);
    out.resize(used);
    return out;
}

// ZIP's LZMA layout: version, properties size, the five properties, the raw stream
// (here with an end marker, as liblzma's .lzma encoder always writes one).
std::string zipLzma(const std::string& data) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream s = LZMA_STREAM_INIT;
    EXPECT_EQ(lzma_alone_encoder(&s, &options), LZMA_OK);
    std::string alone(data.size() + data.size() / 2 + 1024, '\0');
    s.next_in = reinterpret_cast<const uint8_t*>(data.data());
    s.avail_in = data.size();
    s.next_out = reinterpret_cast<uint8_t*>(alone.data());
    s.avail_out = alone.size();
    EXPECT_EQ(lzma_code(&s, LZMA_FINISH), LZMA_STREAM_END);
    alone.resize(s.total_out);
    lzma_end(&s);
    return std::string("\x10\x02\x05\x00", 4) + alone.substr(0, 5) + alone.substr(13);
}

class ZipForeignWriter : public ::testing::Test {
protected:
    int extract(const std::string& archive, std::string* report = nullptr) {
        return runUnZip(nullptr, "-x \"" + archive + "\" \"" + out + "/\" \"*.*\"", report);
    }
    TempDir dir;
    std::string out = dir / "out";
};

TEST_F(ZipForeignWriter, AnArchiveBehindAStubIsFoundWhereItsEndRecordSays) {
    const std::string text = sample(30000);
    ZipBuilder b;
    b.file("docs/a.txt", text, true).file("b.txt", "stored");
    // A self-extracting stub whose offsets the archive does not count, with a
    // local header signature of its own to mislead a forward scan.
    const std::string stub = sample(70000) + "PK\x03\x04" + std::string(100, '\0');
    writeFile(dir / "sfx.run", stub + b.bytes());
    const auto list = listAll(dir / "sfx.run");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at("docs/a.txt").originalSize, 30000);

    std::string report;
    ASSERT_EQ(extract(dir / "sfx.run", &report), KA_OK) << report;
    EXPECT_EQ(readFile(out + "/docs/a.txt"), text);
    EXPECT_EQ(readFile(out + "/b.txt"), "stored");

    // An end record whose central directory is not where it says is no archive.
    std::string lying = b.bytes();
    lying[lying.size() - 22 + 12] ^= 0x40;  // the directory's size
    writeFile(dir / "lying.zip", stub + lying);
    EXPECT_EQ(UnZipOpenArchive(nullptr, (dir / "lying.zip").c_str(), 0), nullptr);
}

TEST_F(ZipForeignWriter, ZeroPaddingAfterTheExtraFieldsIsIgnoredAndTheTimestampListed) {
    const std::string stamp = std::string("\x55\x54\x05\x00\x01", 5) + std::string("\x00\xca\x9a\x3b", 4);
    ZipBuilder b;
    for (size_t pad : {1, 2, 3, 6}) {
        ZipBuilderEntry e;
        e.name = "pad" + std::to_string(pad) + ".txt";
        e.data = "padded " + std::to_string(pad);
        e.extra = stamp + std::string(pad, '\0');
        b.add(e);
    }
    const std::string archive = b.write(dir / "padded.zip");
    const auto list = listAll(archive);
    ASSERT_EQ(list.size(), 4u);
    // The extended timestamp is the true time, shown in local time like any other.
    const arc::DosDateTime dos = arc::DosTime::fromTimeT(1000000000);
    EXPECT_EQ(list.at("pad3.txt").dosDate, dos.date);
    EXPECT_EQ(list.at("pad3.txt").dosTime, dos.time);

    std::string report;
    ASSERT_EQ(extract(archive, &report), KA_OK) << report;
    EXPECT_EQ(readFile(out + "/pad6.txt"), "padded 6");
    struct stat st{};
    ASSERT_EQ(stat((out + "/pad1.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000000000);
}

TEST_F(ZipForeignWriter, LzmaXzAndZstandardEntriesAreDecodedAndChecked) {
    const std::string text = sample(200000);
    const std::string zstdText = zstd(text);
    ZipBuilder b;
    b.add(packed("lzma.txt", 14, text, zipLzma(text)));
    b.add(packed("xz.txt", 95, text, xz(text)));
    b.add(packed("zstd.txt", 93, text, zstdText));
    b.add(packed("zstd-early.txt", 20, "early", zstd("early")));
    b.add(packed("frames.txt", 93, text + "more", zstdText + zstd("more")));
    std::string report;
    ASSERT_EQ(extract(b.write(dir / "methods.zip"), &report), KA_OK) << report;
    for (const char* name : {"lzma.txt", "xz.txt", "zstd.txt"})
        EXPECT_EQ(readFile(out + "/" + name), text) << name;
    EXPECT_EQ(readFile(out + "/zstd-early.txt"), "early");
    EXPECT_EQ(readFile(out + "/frames.txt"), text + "more");
    const auto list = listAll(dir / "methods.zip");
    EXPECT_EQ(std::string(list.at("xz.txt").method, 2), "XZ");

    // A wrong CRC and a cut stream are damage, and leave no file behind.
    ZipBuilder bad;
    ZipBuilderEntry wrongCrc = packed("crc.txt", 93, text, zstdText);
    wrongCrc.declaredCrc = crc32Of(text) ^ 1;
    bad.add(wrongCrc);
    bad.add(packed("cut.txt", 95, text, xz(text).substr(0, 5000)));
    bad.add(packed("cutlzma.txt", 14, text, zipLzma(text).substr(0, 5000)));
    const std::string damaged = dir / "damaged";
    EXPECT_EQ(runUnZip(nullptr, "-x \"" + bad.write(dir / "bad.zip") + "\" \"" + damaged + "/\"", &report),
              KA_ERR_DAMAGED);
    EXPECT_NE(report.find("crc.txt"), std::string::npos) << report;
    EXPECT_NE(report.find("cutlzma.txt"), std::string::npos) << report;
    EXPECT_EQ(listTree(damaged), std::vector<std::string>{});
}

}  // namespace
}  // namespace kestrel::test
