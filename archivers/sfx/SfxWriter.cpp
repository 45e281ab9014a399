// Writing and finding the trailer of self-extracting programs (see SfxTrailer.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "PathText.h"
#include "SfxTrailer.h"

namespace {

const uint8_t Magic[8] = {'K', 'e', 's', 'S', 'f', 'x', 1, 0};

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void put64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint64_t get(const uint8_t* p, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

bool preadAll(int fd, uint8_t* buf, size_t size, uint64_t offset) {
    while (size > 0) {
        ssize_t n = pread(fd, buf, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buf += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// Appends `length` bytes at `offset` of `path` to `out`.
bool copyRange(const char* path, uint64_t offset, uint64_t length, kestrel::arc::AtomicFile& out,
               std::string& error) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> buf(1 << 16);
    bool ok = true;
    while (length > 0 && ok) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), length));
        ok = preadAll(fd, buf.data(), n, offset) && out.write(buf.data(), n);
        offset += n;
        length -= n;
    }
    close(fd);
    if (!ok) error = std::string(path) + ": 読み書きできません";
    return ok;
}

int fail(char* error, size_t errorSize, const std::string& why) {
    if (error && errorSize > 0) std::snprintf(error, errorSize, "%s", why.c_str());
    return 0;
}

}  // namespace

extern "C" int kestrel_sfx_read_trailer(int fd, uint64_t fileSize, KestrelSfxTrailer* trailer) {
    if (fd < 0 || !trailer || fileSize < KESTREL_SFX_TRAILER_SIZE) return 0;
    uint8_t t[KESTREL_SFX_TRAILER_SIZE];
    if (!preadAll(fd, t, sizeof t, fileSize - sizeof t) || std::memcmp(t, Magic, 8) != 0) return 0;
    KestrelSfxTrailer r;
    r.kind = static_cast<uint32_t>(get(t + 8, 4));
    r.flags = static_cast<uint32_t>(get(t + 12, 4));
    r.payloadOffset = get(t + 16, 8);
    r.payloadLength = get(t + 24, 8);
    uint64_t payloadEnd = fileSize - KESTREL_SFX_TRAILER_SIZE;
    // The payload must end exactly at the trailer: anything else is not ours.
    if (r.payloadOffset > payloadEnd || r.payloadLength != payloadEnd - r.payloadOffset) return 0;
    *trailer = r;
    return 1;
}

extern "C" int kestrel_sfx_write(const char* stubPath, const char* outputPath, const char* payloadPath,
                                 uint64_t payloadOffset, uint64_t payloadLength, uint32_t kind,
                                 uint32_t flags, char* error, size_t errorSize) {
    if (!stubPath || !outputPath || !payloadPath) return fail(error, errorSize, "引数がありません");
    struct stat stub;
    if (stat(stubPath, &stub) != 0 || !S_ISREG(stub.st_mode))
        return fail(error, errorSize, std::string(stubPath) + ": 自己解凍プログラムの本体がありません");
    kestrel::arc::AtomicFile out(outputPath);
    if (!out.open()) return fail(error, errorSize, std::string(outputPath) + ": " + std::strerror(errno));
    std::string why;
    uint64_t stubSize = static_cast<uint64_t>(stub.st_size);
    if (!copyRange(stubPath, 0, stubSize, out, why) ||
        !copyRange(payloadPath, payloadOffset, payloadLength, out, why))
        return fail(error, errorSize, why);
    uint8_t t[KESTREL_SFX_TRAILER_SIZE];
    std::memcpy(t, Magic, 8);
    put32(t + 8, kind);
    put32(t + 12, flags);
    put64(t + 16, stubSize);
    put64(t + 24, payloadLength);
    out.setMode(0777 & ~kestrel::arc::PathText::currentUmask());
    if (!out.write(t, sizeof t) || !out.commit())
        return fail(error, errorSize, std::string(outputPath) + ": 書き込めません");
    return 1;
}
