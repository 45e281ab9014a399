// kestrel-sfx: the program at the front of every self-extracting archive. It finds
// the archive appended to itself through the trailer at its end and extracts it
// into the current folder (or -d DIR), keeping existing files unless -o is given.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "SfxCabPayload.h"
#include "SfxLzhPayload.h"
#include "SfxOptions.h"
#include "SfxTrailer.h"

using namespace kestrel::sfx;

namespace {

void usage() {
    std::printf(
        "使い方: 自己解凍書庫 [-d 展開先] [-o] [-l] [-q]\n"
        "  -d DIR  DIR に展開します (既定: 現在のフォルダ)\n"
        "  -o      既存のファイルを上書きします (既定: 残します)\n"
        "  -l      中身を一覧表示します\n"
        "  -q      問題だけを表示します\n");
}

// The program file itself: /proc/self/exe also works when started through a link.
std::string selfPath(const char* argv0) {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) return std::string(buf, static_cast<size_t>(n));
    return argv0 ? argv0 : "";
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    SfxOptions options = SfxOptions::parse(argc, argv);
    if (options.help || !options.error.empty()) {
        if (!options.error.empty()) std::fprintf(stderr, "%s\n", options.error.c_str());
        usage();
        return options.help ? 0 : 2;
    }
    std::string program = selfPath(argc > 0 ? argv[0] : nullptr);
    int fd = open(program.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    KestrelSfxTrailer trailer;
    bool found = fd >= 0 && fstat(fd, &st) == 0 &&
                 kestrel_sfx_read_trailer(fd, static_cast<uint64_t>(st.st_size), &trailer);
    if (fd >= 0) close(fd);
    if (!found) {
        std::fprintf(stderr, "このプログラムには書庫が付いていません\n");
        return 2;
    }
    if (trailer.kind == KESTREL_SFX_LZH)
        return SfxLzhPayload::run(program, trailer.payloadOffset, trailer.payloadLength, trailer.flags, options);
    if (trailer.kind == KESTREL_SFX_CAB)
        return SfxCabPayload::run(program, trailer.flags, options);
    std::fprintf(stderr, "未対応の書庫です\n");
    return 2;
}
