// The cabinet writer: header layout, round trips through libmspack, spanning
// sets under libmspack's rules, and failures that must leave nothing behind.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "CabArchive.h"
#include "CabFormat.h"
#include "CabTestSupport.h"
#include "CabinetWriter.h"

using namespace kestrel::arc::cab;
using cabtest::TempDir;

namespace {

uint16_t u16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}
uint32_t u32(const std::string& s, size_t at) { return u16(s, at) | static_cast<uint32_t>(u16(s, at + 2)) << 16; }

// An independent reading of a cabinet's structure, for checking the writer.
struct Dump {
    struct Folder {
        uint32_t offset;
        uint16_t blocks;
        uint16_t type;
        std::vector<uint16_t> uncompressed;
    };
    struct File {
        uint32_t size, offset;
        uint16_t folder, date, time, attributes;
        std::string name;
    };
    uint32_t cabinetSize = 0, filesOffset = 0;
    uint16_t flags = 0, setId = 0, index = 0;
    std::string prev, next;
    std::vector<Folder> folders;
    std::vector<File> files;
    bool checksumsOk = true;

    explicit Dump(const std::string& s) {
        EXPECT_EQ(s.substr(0, 4), "MSCF");
        cabinetSize = u32(s, 8);
        filesOffset = u32(s, 16);
        uint16_t nFolders = u16(s, 26), nFiles = u16(s, 28);
        flags = u16(s, 30);
        setId = u16(s, 32);
        index = u16(s, 34);
        size_t p = 36;
        auto str = [&]() {
            std::string v(s.c_str() + p);
            p += v.size() + 1;
            return v;
        };
        if (flags & kFlagPrevCabinet) {
            prev = str();
            EXPECT_FALSE(str().empty());
        }
        if (flags & kFlagNextCabinet) {
            next = str();
            EXPECT_FALSE(str().empty());
        }
        for (int i = 0; i < nFolders; ++i, p += 8) folders.push_back({u32(s, p), u16(s, p + 4), u16(s, p + 6), {}});
        EXPECT_EQ(p, filesOffset);
        for (int i = 0; i < nFiles; ++i) {
            File f{u32(s, p), u32(s, p + 4), u16(s, p + 8), u16(s, p + 10), u16(s, p + 12), u16(s, p + 14), ""};
            p += 16;
            f.name = str();
            files.push_back(f);
        }
        for (Folder& folder : folders) {
            size_t q = folder.offset;
            for (int b = 0; b < folder.blocks; ++b) {
                uint16_t cb = u16(s, q + 4), un = u16(s, q + 6);
                uint32_t sum = dataBlockChecksum(reinterpret_cast<const uint8_t*>(s.data() + q + 8), cb, un);
                if (sum != u32(s, q)) checksumsOk = false;
                folder.uncompressed.push_back(un);
                q += 8 + cb;
            }
        }
    }
};

// Extracts every file of the cabinet (joining its set) into a map name -> data.
std::map<std::string, std::string> extractAll(const std::string& path, const TempDir& dir) {
    std::map<std::string, std::string> out;
    CabArchive archive;
    std::string message, missing;
    EXPECT_EQ(archive.open(path, message), 0) << message;
    EXPECT_EQ(archive.joinNext(nullptr, missing), 0) << missing;
    int n = 0;
    for (mscabd_file* f : archive.files()) {
        std::string target = dir / ("x" + std::to_string(n++));
        EXPECT_EQ(archive.extract(f, target, message), 0) << f->filename << ": " << message;
        out[f->filename] = cabtest::readFile(target);
    }
    return out;
}

using Files = std::vector<std::pair<std::string, std::string>>;

Files mixedFiles() {
    return {
        {"a.txt", cabtest::sampleData(40000, 1, true)},
        {"empty.txt", ""},
        {"sub\\rnd.bin", cabtest::sampleData(20000, 2, false)},
        {"sub\\big.txt", cabtest::sampleData(90000, 3, true)},
        {"z.txt", "tail"},
    };
}

void expectSameFiles(const Files& files, const std::map<std::string, std::string>& got) {
    ASSERT_EQ(got.size(), files.size());
    for (const auto& [name, data] : files) {
        auto it = got.find(name);
        ASSERT_NE(it, got.end()) << name;
        EXPECT_TRUE(it->second == data) << name << " differs";
    }
}

}  // namespace

TEST(CabinetWriter, SingleCabinetHeaderLayout) {
    TempDir dir;
    Files files = {{"a.txt", cabtest::sampleData(40000, 1, true)}, {"empty", ""}, {"sub\\x", "xyz"}};
    ASSERT_EQ(cabtest::writeCabinet(dir / "one.cab", files, {}, dir), 0);
    std::string bytes = cabtest::readFile(dir / "one.cab");
    Dump d(bytes);
    EXPECT_EQ(d.cabinetSize, bytes.size());
    EXPECT_EQ(d.flags, 0);
    ASSERT_EQ(d.folders.size(), 1u);
    EXPECT_EQ(d.folders[0].type, kCompressMsZip);
    EXPECT_EQ(d.folders[0].uncompressed, (std::vector<uint16_t>{32768, 40003 - 32768}));
    EXPECT_TRUE(d.checksumsOk);
    ASSERT_EQ(d.files.size(), 3u);
    EXPECT_EQ(d.files[1].offset, 40000u);
    EXPECT_EQ(d.files[2].offset, 40000u);
    EXPECT_EQ(d.files[2].name, "sub\\x");
    EXPECT_EQ(d.files[0].date, (45 << 9) | (5 << 5) | 6);
    EXPECT_EQ(d.files[0].attributes, 0x20);
    EXPECT_EQ(d.folders[0].offset, d.filesOffset + 3 * 16 + 6 + 6 + 6);
    expectSameFiles(files, extractAll(dir / "one.cab", dir));
}

TEST(CabinetWriter, LzxFoldersRoundTripAcrossFrames) {
    for (int bits : {15, 21}) {
        TempDir dir;
        CabWriteOptions options;
        options.method = CabMethod::Lzx;
        options.lzxWindowBits = bits;
        Files files = mixedFiles();
        ASSERT_EQ(cabtest::writeCabinet(dir / "l.cab", files, options, dir), 0);
        Dump d(cabtest::readFile(dir / "l.cab"));
        EXPECT_EQ(d.folders[0].type, 0x0003 | bits << 8);
        EXPECT_TRUE(d.checksumsOk);
        expectSameFiles(files, extractAll(dir / "l.cab", dir));
    }
}

TEST(CabinetWriter, CabinetOfEmptyFilesOnly) {
    TempDir dir;
    Files files = {{"e1", ""}, {"e2", ""}};
    ASSERT_EQ(cabtest::writeCabinet(dir / "e.cab", files, {}, dir), 0);
    Dump d(cabtest::readFile(dir / "e.cab"));
    ASSERT_EQ(d.folders.size(), 1u);
    EXPECT_EQ(d.folders[0].blocks, 0);
    expectSameFiles(files, extractAll(dir / "e.cab", dir));
}

TEST(CabinetWriter, VolumeNamesComeFromTheStem) {
    EXPECT_EQ(CabinetWriter::volumePath("/d/disk.cab", 0), "/d/disk1.cab");
    EXPECT_EQ(CabinetWriter::volumePath("/d/disk.cab", 11), "/d/disk12.cab");
    EXPECT_EQ(CabinetWriter::volumePath("noext", 1), "noext2.cab");
    EXPECT_EQ(CabinetWriter::volumePath("/d.x/arc.tar.cab", 0), "/d.x/arc.tar1.cab");
}

// Sets of many sizes: every cabinet within its limit, chained, and the whole set
// extracted byte-exact by libmspack, which refuses sets that break its rules.
TEST(CabinetWriter, SetsKeepLimitsAndChainAndExtractExactly) {
    for (CabMethod method : {CabMethod::MsZip, CabMethod::Lzx}) {
        for (uint64_t kb : {1, 3, 40}) {
            SCOPED_TRACE("limit " + std::to_string(kb) + " KB, method " + std::to_string(int(method)));
            TempDir dir;
            CabWriteOptions options;
            options.method = method;
            options.lzxWindowBits = 16;
            options.volumeLimit = kb * 1024;
            Files files = mixedFiles();
            ASSERT_EQ(cabtest::writeCabinet(dir / "set.cab", files, options, dir), 0);
            EXPECT_FALSE(cabtest::exists(dir / "set.cab"));
            size_t count = 0;
            bool spanning = false;
            uint16_t setId = 0;
            while (cabtest::exists(CabinetWriter::volumePath(dir / "set.cab", count))) {
                std::string bytes = cabtest::readFile(CabinetWriter::volumePath(dir / "set.cab", count));
                EXPECT_LE(bytes.size(), options.volumeLimit);
                Dump d(bytes);
                EXPECT_TRUE(d.checksumsOk);
                EXPECT_EQ(d.index, count);
                if (count == 0) setId = d.setId;
                EXPECT_EQ(d.setId, setId);
                EXPECT_EQ(d.prev, count == 0 ? "" : "set" + std::to_string(count) + ".cab");
                bool continued = !d.files.empty() && d.files[0].folder >= kFolderContinuedFromPrev &&
                                 d.files[0].folder != kFolderContinuedToNext;
                for (const auto& f : d.files) {
                    if (f.folder == kFolderContinuedToNext || f.folder == kFolderContinuedPrevAndNext) spanning = true;
                    // A continued first folder holds continued files only.
                    if (continued) {
                        EXPECT_NE(f.folder, 0) << f.name << " in cabinet " << count;
                    }
                }
                ++count;
                if (d.next.empty()) break;
                EXPECT_EQ(d.next, "set" + std::to_string(count + 1) + ".cab");
            }
            if (kb < 40) {
                EXPECT_GE(count, 3u);
                EXPECT_TRUE(spanning);
            }
            expectSameFiles(files, extractAll(CabinetWriter::volumePath(dir / "set.cab", 0), dir));
        }
    }
}

TEST(CabinetWriter, FailureLeavesNothingAndKeepsTheOldCabinet) {
    TempDir dir;
    cabtest::writeFile(dir / "out.cab", "old contents");
    std::vector<CabInput> inputs(2);
    inputs[0].diskPath = dir / "there";
    cabtest::writeFile(inputs[0].diskPath, "abc");
    inputs[0].record.name = "there";
    inputs[0].record.size = 3;
    inputs[1].diskPath = dir / "gone";  // never created
    inputs[1].record.name = "gone";
    inputs[1].record.size = 10;
    CabinetWriter writer(dir / "out.cab", {});
    std::string message;
    EXPECT_EQ(writer.write(inputs, nullptr, message), KA_ERR_OPEN);
    EXPECT_NE(message.find("gone"), std::string::npos);
    EXPECT_EQ(cabtest::readFile(dir / "out.cab"), "old contents");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"out.cab", "there"}));

    // A file shorter than when it was listed is an error too, not a short entry.
    inputs.resize(1);
    inputs[0].record.size = 4;
    CabWriteOptions set;
    set.volumeLimit = 1024;
    CabinetWriter setWriter(dir / "s.cab", set);
    EXPECT_EQ(setWriter.write(inputs, nullptr, message), KA_ERR_OPEN);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"out.cab", "there"}));
}

TEST(CabinetWriter, CancelAndImpossibleVolumesLeaveNothing) {
    TempDir dir;
    Files files;
    for (int i = 0; i < 6; ++i) files.push_back({std::string(200, char('a' + i)), "x"});
    CabWriteOptions tiny;
    tiny.volumeLimit = 1024;  // six 200-byte names cannot share one block's cabinet
    EXPECT_EQ(cabtest::writeCabinet(dir / "t.cab", files, tiny, dir), KA_ERR_USAGE);
    tiny.volumeLimit = 100;
    EXPECT_EQ(cabtest::writeCabinet(dir / "t.cab", {{"a", "b"}}, tiny, dir), KA_ERR_USAGE);

    std::vector<CabInput> inputs(1);
    inputs[0].diskPath = dir / "big";
    cabtest::writeFile(inputs[0].diskPath, cabtest::sampleData(100000, 5, true));
    inputs[0].record.name = "big";
    inputs[0].record.size = 100000;
    CabinetWriter writer(dir / "c.cab", {});
    std::string message;
    EXPECT_EQ(writer.write(inputs, [](const std::string&, uint64_t done, uint64_t) { return done < 50000; }, message),
              KA_ERR_CANCELLED);
    for (const std::string& f : dir.files()) EXPECT_EQ(f.find(".cab"), std::string::npos) << f;
}

TEST(CabinetWriter, MoreFilesThanOneHeaderCanCountAreRefused) {
    TempDir dir;
    cabtest::writeFile(dir / "e", "");
    std::vector<CabInput> inputs(kMaxFilesPerCabinet + 1);
    for (size_t i = 0; i < inputs.size(); ++i) {
        inputs[i].diskPath = dir / "e";
        inputs[i].record.name = "f" + std::to_string(i);
    }
    CabinetWriter writer(dir / "many.cab", {});
    std::string message;
    EXPECT_EQ(writer.write(inputs, nullptr, message), KA_ERR_UNSUPPORTED);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"e"});
    // A set spreads them over cabinets only as their data fills them: the same
    // files, all empty, still do not fit one header.
    CabWriteOptions set;
    set.volumeLimit = 1ull << 30;
    CabinetWriter setWriter(dir / "many.cab", set);
    EXPECT_EQ(setWriter.write(inputs, nullptr, message), KA_ERR_UNSUPPORTED);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"e"});
}

// Empty files after a folder's last block, when that block is split into the next
// cabinet: readers drop non-continued files of a continued folder, so they must
// land in a folder of their own.
TEST(CabinetWriter, EmptyFilesAfterASplitLastBlockAreKept) {
    for (CabMethod method : {CabMethod::MsZip, CabMethod::Lzx}) {
        TempDir dir;
        CabWriteOptions options;
        options.method = method;
        options.volumeLimit = 5 * 1024;
        Files files = {{"f00", cabtest::sampleData(32767, 8, false)}, {"f01", ""}, {"f02", ""}};
        ASSERT_EQ(cabtest::writeCabinet(dir / "s.cab", files, options, dir), 0);
        ASSERT_TRUE(cabtest::exists(dir / "s3.cab"));
        expectSameFiles(files, extractAll(dir / "s1.cab", dir));
    }
}
