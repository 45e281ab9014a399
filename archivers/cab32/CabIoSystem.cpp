#include "CabIoSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestrel::arc::cab {

namespace {

// Each open file remembers its owner so that message() can find where to report.
struct OpenFile {
    FILE* fp;
    CabIoSystem* owner;
};

// libmspack's message() has no system argument when it has no file; the last
// system that opened a file (one per thread) takes those messages.
thread_local CabIoSystem* currentOwner = nullptr;

}  // namespace

CabIoSystem::CabIoSystem() {
    std::memset(&wrapper_, 0, sizeof wrapper_);
    wrapper_.sys.open = &CabIoSystem::open;
    wrapper_.sys.close = &CabIoSystem::close;
    wrapper_.sys.read = &CabIoSystem::read;
    wrapper_.sys.write = &CabIoSystem::write;
    wrapper_.sys.seek = &CabIoSystem::seek;
    wrapper_.sys.tell = &CabIoSystem::tell;
    wrapper_.sys.message = &CabIoSystem::message;
    wrapper_.sys.alloc = &CabIoSystem::alloc;
    wrapper_.sys.free = &CabIoSystem::free;
    wrapper_.sys.copy = &CabIoSystem::copy;
    wrapper_.owner = this;
}

std::vector<std::string> CabIoSystem::takeMessages() {
    std::vector<std::string> out;
    out.swap(messages_);
    return out;
}

mspack_file* CabIoSystem::open(mspack_system* self, const char* filename, int mode) {
    const char* fmode = nullptr;
    switch (mode) {
    case MSPACK_SYS_OPEN_READ: fmode = "rbe"; break;
    case MSPACK_SYS_OPEN_WRITE: fmode = "wbe"; break;
    case MSPACK_SYS_OPEN_UPDATE: fmode = "r+be"; break;
    case MSPACK_SYS_OPEN_APPEND: fmode = "abe"; break;
    default: return nullptr;
    }
    auto* owner = reinterpret_cast<Wrapper*>(self)->owner;
    currentOwner = owner;
    FILE* fp = nullptr;
    if (mode == MSPACK_SYS_OPEN_WRITE) {
        // Output goes to a temporary name the extractor has just made; never
        // follow a link someone may have put in its place.
        int fd = ::open(filename, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 && !(fp = ::fdopen(fd, "wb"))) ::close(fd);
    } else {
        fp = std::fopen(filename, fmode);
    }
    if (!fp) return nullptr;
    auto* file = static_cast<OpenFile*>(std::malloc(sizeof(OpenFile)));
    if (!file) {
        std::fclose(fp);
        return nullptr;
    }
    file->fp = fp;
    file->owner = owner;
    return reinterpret_cast<mspack_file*>(file);
}

void CabIoSystem::close(mspack_file* file) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (!f) return;
    std::fclose(f->fp);
    std::free(f);
}

int CabIoSystem::read(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (!f || bytes < 0) return -1;
    size_t n = std::fread(buffer, 1, static_cast<size_t>(bytes), f->fp);
    if (n == 0 && std::ferror(f->fp)) return -1;
    return static_cast<int>(n);
}

int CabIoSystem::write(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (!f || bytes < 0) return -1;
    if (f->owner->observer_ && !f->owner->observer_(static_cast<size_t>(bytes))) return -1;
    size_t n = std::fwrite(buffer, 1, static_cast<size_t>(bytes), f->fp);
    if (n == 0 && std::ferror(f->fp)) return -1;
    return static_cast<int>(n);
}

int CabIoSystem::seek(mspack_file* file, off_t offset, int mode) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    if (!f) return -1;
    int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
    return fseeko(f->fp, offset, whence);
}

off_t CabIoSystem::tell(mspack_file* file) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    return f ? ftello(f->fp) : -1;
}

void CabIoSystem::message(mspack_file* file, const char* format, ...) {
    auto* f = reinterpret_cast<OpenFile*>(file);
    CabIoSystem* owner = f ? f->owner : currentOwner;
    if (!owner) return;
    char text[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    owner->messages_.emplace_back(text);
}

void* CabIoSystem::alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }

void CabIoSystem::free(void* ptr) { std::free(ptr); }

void CabIoSystem::copy(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

}  // namespace kestrel::arc::cab
