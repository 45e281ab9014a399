// Cabinets with our LZX folders, read back by the independent readers that
// Debian ships: cabextract, 7-Zip and bsdtar (libarchive).
#include "PeerTool.h"
#include "TestCabinet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using kestrel::test::haveTool;

std::vector<uint8_t> readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LzxInterop : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kestrel-lzx-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Sixteen letters at random (Huffman codes but no long matches, so
        // the length tree is empty), text, program code, packed data, and an
        // odd-sized last frame.
        data_ = randomBytes(40000, 20);
        for (auto& b : data_)
            b = uint8_t('a' + (b & 15));
        const auto text = textLike(150000, 21);
        data_.insert(data_.end(), text.begin(), text.end());
        const auto code = fragments(120000, 22);
        data_.insert(data_.end(), code.begin(), code.end());
        std::ifstream lib("/usr/lib/x86_64-linux-gnu/libstdc++.so.6", std::ios::binary);
        std::vector<uint8_t> real(100000);
        lib.read(reinterpret_cast<char*>(real.data()), std::streamsize(real.size()));
        real.resize(size_t(lib.gcount()));
        data_.insert(data_.end(), real.begin(), real.end());
        const auto noise = randomBytes(70001, 23);
        data_.insert(data_.end(), noise.begin(), noise.end());
        const auto cab = buildCabinet(compressFolder(data_, GetParam()), uint32_t(data_.size()));
        std::ofstream(dir_ / "t.cab", std::ios::binary)
            .write(reinterpret_cast<const char*>(cab.data()), std::streamsize(cab.size()));
    }
    void TearDown() override { fs::remove_all(dir_); }

    void extractWith(const std::string& tool, const std::string& command)
    {
        if (!haveTool(tool))
            GTEST_SKIP() << tool << " is not installed";
        const fs::path out = dir_ / tool;
        fs::create_directories(out);
        const std::string cmd = "cd '" + dir_.string() + "' && " + command + " >/dev/null 2>&1";
        ASSERT_EQ(std::system((cmd).c_str()), 0) << cmd;
        EXPECT_TRUE(readAll(out / "data.bin") == data_) << tool << " extracted different bytes";
    }

    fs::path dir_;
    std::vector<uint8_t> data_;
};

} // namespace

TEST_P(LzxInterop, Cabextract) { extractWith("cabextract", "cabextract -q -d cabextract t.cab"); }

TEST_P(LzxInterop, SevenZip) { extractWith("7zz", "7zz x -y -o7zz t.cab"); }

TEST_P(LzxInterop, Bsdtar) { extractWith("bsdtar", "bsdtar -xf t.cab -C bsdtar"); }

INSTANTIATE_TEST_SUITE_P(Windows, LzxInterop, ::testing::Values(15, 21));
