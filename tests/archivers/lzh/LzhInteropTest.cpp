// Our streams as other LZH readers see them: each is wrapped in a minimal
// level-2 archive and read back by lhasa, bsdtar and 7zz. bsdtar and 7zz are
// the strict ones (exact sizes, complete trees, no references before the
// first byte).
#include "LzhEncoder.h"
#include "LzhTestSupport.h"
#include "PeerTool.h"

#include <gtest/gtest.h>

extern "C" {
#include <lhasa.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace kestrel::lzh;
using namespace kestrel::lzh::test;
namespace fs = std::filesystem;

namespace {

using kestrel::test::haveTool;

void put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// One entry: level-2 header with the header CRC and name extensions, then
// the data. An archive is its entries and a final 0 byte.
Bytes archiveEntry(LzhMethod method, const std::string& name, const Bytes& original, const Bytes& packed)
{
    const size_t nameExt = 3 + name.size();
    size_t crcExt = 5;
    // A header length whose low byte is 0 would read as the end of the
    // archive; one more byte in the CRC extension avoids it.
    if (((26 + crcExt + nameExt) & 0xFF) == 0)
        ++crcExt;
    Bytes h;
    put16(h, static_cast<unsigned>(26 + crcExt + nameExt));
    const char* id = methodId(method);
    h.insert(h.end(), id, id + 5);
    put32(h, static_cast<uint32_t>(packed.size()));
    put32(h, static_cast<uint32_t>(original.size()));
    put32(h, 1600000000);
    h.push_back(0x20);
    h.push_back(2);
    put16(h, crc16(original));
    h.push_back('U');
    put16(h, static_cast<unsigned>(crcExt));
    h.push_back(0x00);
    const size_t crcAt = h.size();
    put16(h, 0);
    if (crcExt == 6)
        h.push_back(0);
    put16(h, static_cast<unsigned>(nameExt));
    h.push_back(0x01);
    h.insert(h.end(), name.begin(), name.end());
    put16(h, 0);
    const uint16_t headerCrc = crc16(h);
    h[crcAt] = static_cast<uint8_t>(headerCrc);
    h[crcAt + 1] = static_cast<uint8_t>(headerCrc >> 8);
    h.insert(h.end(), packed.begin(), packed.end());
    return h;
}

Bytes singleEntryArchive(LzhMethod method, const std::string& name, const Bytes& original, const Bytes& packed)
{
    Bytes archive = archiveEntry(method, name, original, packed);
    archive.push_back(0);
    return archive;
}

// Runs a command and returns what it printed.
std::string outputOf(const std::string& command)
{
    std::string text;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            text.append(buf, n);
        ::pclose(p);
    }
    return text;
}

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

class LzhInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"lhasa", "bsdtar", "7zz"})
            if (!haveTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        dir_ = fs::temp_directory_path() / ("kestrel-lzh-interop-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Every reader must accept the archive and give back the input.
    void expectReadersAgree(LzhMethod method, const Bytes& input, LzhEffort effort = LzhEffort::Normal)
    {
        const Bytes packed = encode(method, input, 1 << 20, effort);
        const Bytes entry = archiveEntry(method, "e" + std::to_string(entries_++) + ".bin", input, packed);
        everything_.insert(everything_.end(), entry.begin(), entry.end());
        const fs::path archive = dir_ / "t.lzh";
        writeFile(archive, singleEntryArchive(method, "data.bin", input, packed));
        const std::string a = archive.string();
        const std::string out = (dir_ / "out").string();
        const std::string quiet = " >/dev/null 2>&1";

        EXPECT_EQ(std::system(("lhasa t " + a + quiet).c_str()), 0) << "lhasa refused " << methodId(method);

        fs::remove(out);
        EXPECT_EQ(std::system(("bsdtar -xOf " + a + " data.bin > " + out + " 2>/dev/null").c_str()), 0)
            << "bsdtar refused " << methodId(method);
        EXPECT_TRUE(readFile(out) == input) << "bsdtar output differs";

        EXPECT_EQ(std::system(("7zz t " + a + quiet).c_str()), 0) << "7zz refused " << methodId(method);
        fs::remove(out);
        EXPECT_EQ(std::system(("7zz e -so " + a + " > " + out + " 2>/dev/null").c_str()), 0);
        EXPECT_TRUE(readFile(out) == input) << "7zz output differs";
    }

    // jlha (the writer these results are compared with) takes long to
    // start, so it checks every stream made so far at once, in one archive.
    // Its exit status says nothing; each entry prints "Tested : o" (one o
    // per piece checked) and a failure also logs an exception.
    void expectJlhaAcceptsAll()
    {
        if (!haveTool("jlha"))
            return;
        const fs::path archive = dir_ / "all.lzh";
        Bytes bytes = everything_;
        bytes.push_back(0);
        writeFile(archive, bytes);
        const std::string report = outputOf("cd " + dir_.string() + " && jlha t all.lzh 2>&1");
        size_t passed = 0;
        for (size_t at = 0; (at = report.find(":  o", at)) != std::string::npos; ++at)
            ++passed;
        EXPECT_EQ(passed, entries_) << report;
        EXPECT_EQ(report.find("Exception"), std::string::npos) << report;
    }

    fs::path dir_;
    Bytes everything_;
    size_t entries_ = 0;
};

// A real executable: code, tables and strings, unlike the generated samples.
Bytes executableSample()
{
    Bytes exe = readFile("/proc/self/exe");
    if (exe.size() > 400000)
        exe.resize(400000);
    return exe;
}

}  // namespace

TEST_F(LzhInterop, ReadersAcceptEveryMethod)
{
    const Bytes mixed = [] {
        Bytes b = sampleText(120000, 21);
        const Bytes r = randomBytes(30000, 22);
        b.insert(b.end(), r.begin(), r.end());
        b.insert(b.end(), 70000, 'z');
        const Bytes t = sampleText(90000, 21);
        b.insert(b.end(), t.begin(), t.end());
        return b;
    }();
    const Bytes exe = executableSample();
    for (LzhMethod m : {LzhMethod::Lh5, LzhMethod::Lh6, LzhMethod::Lh7}) {
        SCOPED_TRACE(methodId(m));
        expectReadersAgree(m, mixed);
        expectReadersAgree(m, exe);
        expectReadersAgree(m, mixed, LzhEffort::Best);
        expectReadersAgree(m, exe, LzhEffort::Best);
        // Single-symbol trees everywhere.
        expectReadersAgree(m, {'A'});
        expectReadersAgree(m, {'A', 'B'});
        expectReadersAgree(m, Bytes(6, 'A'));
        expectReadersAgree(m, Bytes(300, 'A'));
        // Past the first block only the longest match is left: blocks whose
        // character tree has a single symbol.
        expectReadersAgree(m, Bytes(3000000, 0));
    }
    expectJlhaAcceptsAll();
}

TEST_F(LzhInterop, WorkedExampleFromTheFormatNotes)
{
    // Ten bytes that code as two literals and one overlapping match.
    const std::string text = "ABABABABAB";
    expectReadersAgree(LzhMethod::Lh5, Bytes(text.begin(), text.end()));
}

// Past 4 GiB every 32-bit count and position wraps; the stream must not.
// Slow (about a minute), so only run on request:
//   lzh_interop_tests --gtest_also_run_disabled_tests --gtest_filter='*Huge*'
TEST(LzhHugeInput, DISABLED_MoreThanFourGibibytes)
{
    const uint64_t zeros = (uint64_t{1} << 32) + 123457;
    const Bytes tail = sampleText(100000, 31);
    Bytes packed;
    LzhEncoder encoder(LzhMethod::Lh7, [&](const uint8_t* data, size_t n) {
        packed.insert(packed.end(), data, data + n);
        return true;
    });
    const Bytes chunk(1 << 20, 0);
    for (uint64_t left = zeros; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
        ASSERT_TRUE(encoder.write(chunk.data(), n));
        left -= n;
    }
    ASSERT_TRUE(encoder.write(tail.data(), tail.size()));
    ASSERT_TRUE(encoder.finish());
    EXPECT_EQ(encoder.bytesIn(), zeros + tail.size());
    EXPECT_EQ(encoder.bytesOut(), packed.size());

    // Decode in pieces and compare as we go.
    std::string name = methodId(LzhMethod::Lh7);
    struct Source {
        const Bytes* data;
        size_t at;
    } src{&packed, 0};
    auto read = [](void* buf, size_t len, void* user) -> size_t {
        auto* s = static_cast<Source*>(user);
        const size_t n = std::min(len, s->data->size() - s->at);
        std::memcpy(buf, s->data->data() + s->at, n);
        s->at += n;
        return n;
    };
    LHADecoder* decoder = lha_decoder_new(lha_decoder_for_name(name.data()), read, &src,
                                          static_cast<size_t>(zeros + tail.size()));
    ASSERT_NE(decoder, nullptr);
    Bytes out(1 << 20);
    uint64_t seen = 0;
    bool same = true;
    for (size_t n; (n = lha_decoder_read(decoder, out.data(), out.size())) > 0; seen += n) {
        for (size_t i = 0; i < n && same; ++i) {
            const uint64_t at = seen + i;
            same = out[i] == (at < zeros ? 0 : tail[static_cast<size_t>(at - zeros)]);
        }
    }
    lha_decoder_free(decoder);
    EXPECT_TRUE(same);
    EXPECT_EQ(seen, zeros + tail.size());
}
