#include "TestCabinet.h"

#include "CabFormat.h"
#include "LzxEncoder.h"

#include <mspack.h>

#include <algorithm>
#include <cstring>
#include <random>

size_t CompressedFolder::totalBytes() const
{
    size_t n = 0;
    for (const auto& b : blocks)
        n += b.size();
    return n;
}

CompressedFolder compressFolder(const std::vector<uint8_t>& data, int windowBits, bool e8)
{
    CompressedFolder folder;
    LzxEncoder enc(windowBits, e8);
    folder.typeCompress = enc.folderCompressionType();
    for (size_t pos = 0; pos < data.size(); pos += LzxEncoder::kFrameSize) {
        const size_t n = std::min(LzxEncoder::kFrameSize, data.size() - pos);
        folder.blocks.push_back(enc.encodeFrame(data.data() + pos, n, pos + n == data.size()));
        folder.frameSizes.push_back(uint16_t(n));
    }
    return folder;
}

// The writer of cab32 takes files, not frames made beforehand: the one-folder,
// one-file layout is laid out here with the format's own fields and checksum.
std::vector<uint8_t> buildCabinet(const CompressedFolder& folder, uint32_t fileSize,
                                  const std::string& name)
{
    using namespace kestrel::arc::cab;
    const uint32_t filesAt = kHeaderSize + kFolderEntrySize;
    const uint32_t dataAt = filesAt + kFileEntrySize + uint32_t(name.size()) + 1;
    std::vector<uint8_t> cab;
    putU32(cab, 0x4643534D);
    putU32(cab, 0);
    putU32(cab, 0); // cabinet size, set below
    putU32(cab, 0);
    putU32(cab, filesAt);
    putU32(cab, 0);
    cab.push_back(3);
    cab.push_back(1);
    putU16(cab, 1); // folders
    putU16(cab, 1); // files
    putU16(cab, 0); // flags
    putU16(cab, 0x1234);
    putU16(cab, 0);
    putU32(cab, dataAt);
    putU16(cab, uint16_t(folder.blocks.size()));
    putU16(cab, folder.typeCompress);
    putU32(cab, fileSize);
    putU32(cab, 0);
    putU16(cab, 0);
    putU16(cab, 0x5A86); // 2025-04-06
    putU16(cab, 0x6000);
    putU16(cab, kAttrArchive);
    cab.insert(cab.end(), name.begin(), name.end());
    cab.push_back(0);
    for (size_t i = 0; i < folder.blocks.size(); ++i) {
        const auto& b = folder.blocks[i];
        putU32(cab, dataBlockChecksum(b.data(), uint16_t(b.size()), folder.frameSizes[i]));
        putU16(cab, uint16_t(b.size()));
        putU16(cab, folder.frameSizes[i]);
        cab.insert(cab.end(), b.begin(), b.end());
    }
    setU32(cab.data() + 8, uint32_t(cab.size()));
    return cab;
}

namespace {

// A mspack_system over two memory buffers: the file named "in" reads the
// cabinet, the file named "out" collects the extracted bytes.
struct MemorySystem {
    mspack_system sys;
    const std::vector<uint8_t>* input;
    std::vector<uint8_t>* output;
};

struct MemoryFile {
    MemorySystem* owner;
    bool writing;
    size_t pos;
};

mspack_file* memOpen(mspack_system* self, const char* name, int mode)
{
    auto* ms = reinterpret_cast<MemorySystem*>(self);
    const bool writing = std::strcmp(name, "out") == 0;
    if (writing != (mode == MSPACK_SYS_OPEN_WRITE))
        return nullptr;
    return reinterpret_cast<mspack_file*>(new MemoryFile{ms, writing, 0});
}

void memClose(mspack_file* f) { delete reinterpret_cast<MemoryFile*>(f); }

int memRead(mspack_file* file, void* buf, int bytes)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    const auto& in = *f->owner->input;
    if (f->writing || bytes < 0)
        return -1;
    const size_t n = std::min(size_t(bytes), in.size() - std::min(f->pos, in.size()));
    std::memcpy(buf, in.data() + f->pos, n);
    f->pos += n;
    return int(n);
}

int memWrite(mspack_file* file, void* buf, int bytes)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    if (!f->writing || bytes < 0)
        return -1;
    auto* b = static_cast<const uint8_t*>(buf);
    f->owner->output->insert(f->owner->output->end(), b, b + bytes);
    return bytes;
}

int memSeek(mspack_file* file, off_t offset, int mode)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    const off_t size = off_t(f->owner->input->size());
    const off_t base = mode == MSPACK_SYS_SEEK_START ? 0 : mode == MSPACK_SYS_SEEK_CUR ? off_t(f->pos) : size;
    const off_t to = base + offset;
    if (to < 0 || to > size)
        return -1;
    f->pos = size_t(to);
    return 0;
}

off_t memTell(mspack_file* file) { return off_t(reinterpret_cast<MemoryFile*>(file)->pos); }

void memMessage(mspack_file*, const char*, ...) {}
void* memAlloc(mspack_system*, size_t n) { return std::malloc(n); }
void memFree(void* p) { std::free(p); }
void memCopy(void* src, void* dst, size_t n) { std::memmove(dst, src, n); }

} // namespace

std::optional<std::vector<uint8_t>> extractWithMspack(const std::vector<uint8_t>& cabinet, int* error)
{
    std::vector<uint8_t> out;
    MemorySystem ms{{memOpen, memClose, memRead, memWrite, memSeek, memTell, memMessage, memAlloc,
                     memFree, memCopy, nullptr},
                    &cabinet,
                    &out};
    mscab_decompressor* d = mspack_create_cab_decompressor(&ms.sys);
    if (!d)
        return std::nullopt;
    int err = MSPACK_ERR_OK;
    mscabd_cabinet* cab = d->open(d, const_cast<char*>("in"));
    if (!cab)
        err = d->last_error(d);
    else if (!cab->files)
        err = MSPACK_ERR_DATAFORMAT;
    else
        err = d->extract(d, cab->files, const_cast<char*>("out"));
    if (cab)
        d->close(d, cab);
    mspack_destroy_cab_decompressor(d);
    if (error)
        *error = err;
    if (err != MSPACK_ERR_OK)
        return std::nullopt;
    return out;
}

std::vector<uint8_t> randomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = uint8_t(rng());
    return v;
}

std::vector<uint8_t> textLike(size_t n, uint32_t seed)
{
    static const char* words[] = {"the ",    "archive ", "folder ", "window ", "frame ",  "match ",
                                  "offset ", "tree ",    "length ", "of ",     "and ",    "a ",
                                  "bitstream ", "\n",   "copy ",   "dictionary ", "Kestrel ", "data, "};
    std::mt19937 rng(seed);
    std::vector<uint8_t> v;
    v.reserve(n + 16);
    while (v.size() < n) {
        const char* w = words[rng() % (sizeof words / sizeof *words)];
        v.insert(v.end(), w, w + std::strlen(w));
    }
    v.resize(n);
    return v;
}

std::vector<uint8_t> fragments(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v = randomBytes(1000, seed + 1);
    v.reserve(n + 400);
    while (v.size() < n) {
        if (rng() % 3 == 0) {
            for (uint32_t k = 1 + rng() % 20; k > 0; --k)
                v.push_back(uint8_t(rng()));
            continue;
        }
        const size_t span = std::min<size_t>(v.size(), rng() % 2 ? 4000 : 300000);
        const size_t from = v.size() - 1 - rng() % span;
        const size_t len = 3 + (rng() % 4 == 0 ? rng() % 300 : rng() % 30);
        for (size_t k = 0; k < len; ++k)
            v.push_back(v[from + k]);
        if (rng() % 3 == 0)
            v[v.size() - 1 - rng() % len] ^= uint8_t(1 + rng() % 255);
    }
    v.resize(n);
    return v;
}
