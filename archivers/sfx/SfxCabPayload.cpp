#include "SfxCabPayload.h"

#include <fcntl.h>
#include <mspack.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "NameEncoding.h"
#include "SafePath.h"
#include "SfxTrailer.h"

namespace kestrel::sfx {

namespace {

// The special name under which libmspack opens the embedded cabinet.
const char* const PayloadName = "\x01kestrel-payload";

struct PayloadSystem {
    mspack_system sys;  // first, so the struct can be cast from mspack_system*
    std::string program;
    uint64_t offset;
    uint64_t length;
};

struct File {
    int fd;
    bool region;      // the payload inside the program: offsets are relative to it
    uint64_t base;
    uint64_t length;
    uint64_t pos;     // for the region only
};

mspack_file* sysOpen(mspack_system* self, const char* name, int mode) {
    auto* ps = reinterpret_cast<PayloadSystem*>(self);
    bool region = std::strcmp(name, PayloadName) == 0;
    int flags = O_CLOEXEC;
    switch (mode) {
        case MSPACK_SYS_OPEN_READ: flags |= O_RDONLY; break;
        case MSPACK_SYS_OPEN_WRITE: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
        case MSPACK_SYS_OPEN_UPDATE: flags |= O_RDWR; break;
        case MSPACK_SYS_OPEN_APPEND: flags |= O_WRONLY | O_APPEND | O_CREAT; break;
        default: return nullptr;
    }
    if (region && mode != MSPACK_SYS_OPEN_READ) return nullptr;
    int fd = ::open(region ? ps->program.c_str() : name, flags, 0666);
    if (fd < 0) return nullptr;
    auto* f = new File{fd, region, region ? ps->offset : 0, region ? ps->length : 0, 0};
    return reinterpret_cast<mspack_file*>(f);
}

void sysClose(mspack_file* file) {
    auto* f = reinterpret_cast<File*>(file);
    if (!f) return;
    ::close(f->fd);
    delete f;
}

int sysRead(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<File*>(file);
    if (!f || bytes < 0) return -1;
    if (!f->region) {
        ssize_t n;
        do n = ::read(f->fd, buffer, static_cast<size_t>(bytes));
        while (n < 0 && errno == EINTR);
        return static_cast<int>(n);
    }
    uint64_t left = f->pos < f->length ? f->length - f->pos : 0;
    size_t want = static_cast<size_t>(std::min<uint64_t>(left, static_cast<uint64_t>(bytes)));
    if (want == 0) return 0;
    ssize_t n = pread(f->fd, buffer, want, static_cast<off_t>(f->base + f->pos));
    if (n < 0) return -1;
    f->pos += static_cast<uint64_t>(n);
    return static_cast<int>(n);
}

int sysWrite(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<File*>(file);
    if (!f || f->region || bytes < 0) return -1;
    const char* p = static_cast<const char*>(buffer);
    int left = bytes;
    while (left > 0) {
        ssize_t n = ::write(f->fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1;
        p += n;
        left -= static_cast<int>(n);
    }
    return bytes;
}

int sysSeek(mspack_file* file, off_t offset, int mode) {
    auto* f = reinterpret_cast<File*>(file);
    if (!f) return -1;
    if (!f->region) {
        int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
        return lseek(f->fd, offset, whence) < 0 ? -1 : 0;
    }
    int64_t from = mode == MSPACK_SYS_SEEK_START ? 0
                   : mode == MSPACK_SYS_SEEK_CUR ? static_cast<int64_t>(f->pos)
                                                 : static_cast<int64_t>(f->length);
    int64_t to = from + offset;
    if (to < 0 || static_cast<uint64_t>(to) > f->length) return -1;
    f->pos = static_cast<uint64_t>(to);
    return 0;
}

off_t sysTell(mspack_file* file) {
    auto* f = reinterpret_cast<File*>(file);
    if (!f) return -1;
    return f->region ? static_cast<off_t>(f->pos) : lseek(f->fd, 0, SEEK_CUR);
}

void sysMessage(mspack_file*, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    std::vfprintf(stderr, format, ap);
    va_end(ap);
    std::fputc('\n', stderr);
}

void* sysAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void sysFree(void* p) { std::free(p); }
void sysCopy(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

time_t cabTime(const mscabd_file* f) {
    struct tm t {};
    t.tm_year = f->date_y - 1900;
    t.tm_mon = f->date_m - 1;
    t.tm_mday = f->date_d;
    t.tm_hour = f->time_h;
    t.tm_min = f->time_m;
    t.tm_sec = f->time_s;
    t.tm_isdst = -1;
    return mktime(&t);
}

bool makeParents(const std::string& dest, const std::string& relative) {
    std::string path = arc::SafePath::folder(dest);
    mkdir(path.c_str(), 0777);
    size_t pos = 0;
    while ((pos = relative.find('/', pos)) != std::string::npos) {
        std::string dir = (path == "/" ? "" : path) + "/" + relative.substr(0, pos);
        struct stat st;
        if (mkdir(dir.c_str(), 0777) != 0 && !(lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) return false;
        ++pos;
    }
    return true;
}

struct Counts {
    int skipped = 0;
    int errors = 0;
    bool rootDropped = false;  // said once
};

void extractOne(mscab_decompressor* cabd, mscabd_file* f, uint32_t flags, const SfxOptions& options,
                bool quiet, Counts& counts) {
    std::string name = SfxCabPayload::entryName(f->filename, f->attribs & MSCAB_ATTRIB_UTF_NAME);
    if (!(flags & KESTREL_SFX_KEEP_FOLDERS)) name = name.substr(name.rfind('/') + 1);
    std::string_view wanted = arc::SafePath::withoutRoot(name);
    if (wanted.size() != name.size() && !counts.rootDropped) {
        counts.rootDropped = true;
        std::fprintf(stderr, "%s\n", arc::SafePath::rootDroppedNote());
    }
    std::string full, relative;
    auto problem = arc::SafePath::join(options.dest, wanted, full, &relative);
    if (problem != arc::SafePath::Problem::None) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), arc::SafePath::describe(problem));
        ++counts.skipped;
        return;
    }
    struct stat st;
    if (lstat(full.c_str(), &st) == 0 && (!options.overwrite || S_ISDIR(st.st_mode))) {
        std::fprintf(stderr, "%s: 既存のファイルを残しました\n", full.c_str());
        ++counts.skipped;
        return;
    }
    if (!makeParents(options.dest, relative)) {
        std::fprintf(stderr, "%s: フォルダを作れません\n", name.c_str());
        ++counts.errors;
        return;
    }
    // Into a temporary name first: a damaged file never appears under its own name.
    std::string pattern = full.substr(0, full.rfind('/') + 1) + ".kes-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
    if (fd < 0) {
        std::fprintf(stderr, "%s: 書き込めません\n", name.c_str());
        ++counts.errors;
        return;
    }
    close(fd);
    std::string temp = buf.data();
    mode_t mask = umask(022);
    umask(mask);
    mode_t mode = 0666 & ~mask;
    if ((flags & KESTREL_SFX_RESTORE_MODES) && (f->attribs & MSCAB_ATTRIB_RDONLY)) mode &= ~0222;
    if (cabd->extract(cabd, f, temp.c_str()) != MSPACK_ERR_OK || chmod(temp.c_str(), mode) != 0 ||
        rename(temp.c_str(), full.c_str()) != 0) {
        unlink(temp.c_str());
        std::fprintf(stderr, "%s: 展開できません (データが壊れています)\n", name.c_str());
        ++counts.errors;
        return;
    }
    struct timespec times[2] = {{0, UTIME_NOW}, {cabTime(f), 0}};
    utimensat(AT_FDCWD, full.c_str(), times, 0);
    if (!quiet) std::printf("%s\n", name.c_str());
}

}  // namespace

std::string SfxCabPayload::entryName(const char* name, bool utf8Flag) {
    std::string text = name ? name : "";
    if (!utf8Flag && arc::NameEncoding::isValidUtf8(text)) {
        // Narrow code points U+0080..U+00FF back to the bytes they came from.
        std::string bytes;
        bool narrow = true;
        for (size_t i = 0; i < text.size() && narrow; ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
                bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
            } else {
                narrow = false;
            }
        }
        if (narrow) text = arc::NameEncoding::toUtf8(bytes);
    } else if (!utf8Flag) {
        text = arc::NameEncoding::toUtf8(text);
    }
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

int SfxCabPayload::run(const std::string& program, uint64_t offset, uint64_t length, uint32_t flags,
                       const SfxOptions& options) {
    PayloadSystem ps{{sysOpen, sysClose, sysRead, sysWrite, sysSeek, sysTell, sysMessage, sysAlloc, sysFree,
                      sysCopy, nullptr},
                     program, offset, length};
    mscab_decompressor* cabd = mspack_create_cab_decompressor(&ps.sys);
    if (!cabd) return 2;
    mscabd_cabinet* cab = cabd->open(cabd, PayloadName);
    if (!cab) {
        std::fprintf(stderr, "書庫を読めません\n");
        mspack_destroy_cab_decompressor(cabd);
        return 2;
    }
    Counts counts;
    bool quiet = options.quiet || (flags & KESTREL_SFX_QUIET);
    for (mscabd_file* f = cab->files; f; f = f->next) {
        if (options.list)
            std::printf("%12u  %04d-%02d-%02d %02d:%02d  %s\n", f->length, f->date_y, f->date_m, f->date_d,
                        f->time_h, f->time_m, entryName(f->filename, f->attribs & MSCAB_ATTRIB_UTF_NAME).c_str());
        else
            extractOne(cabd, f, flags, options, quiet, counts);
    }
    cabd->close(cabd, cab);
    mspack_destroy_cab_decompressor(cabd);
    if (counts.errors) return 2;
    return counts.skipped ? 1 : 0;
}

}  // namespace kestrel::sfx
