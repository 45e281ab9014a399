// kestrel-arc: runs a command line or a listing through one of the archiver libraries,
// calling the same C entry points the file manager calls.
//
//   kestrel-arc [--ask] [--buffer BYTES] LIBRARY 'COMMAND LINE'
//   kestrel-arc [--ask] --list LIBRARY ARCHIVE [PATTERN]
//
// LIBRARY is unlha, unzip or cab. Exit status: 0 success, 1 the command ended with a
// warning, 2 it failed, 3 bad usage or the library could not be loaded.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ArchiverLibrary.h"
#include "ListingPrinter.h"
#include "ResultText.h"
#include "TerminalHost.h"

namespace {

using kestrel::arc::ArchiverLibrary;

struct Arguments {
    bool ask = false;
    bool list = false;
    unsigned long bufferSize = 65536;
    std::vector<std::string> rest;
};

void usage() {
    std::fputs("usage: kestrel-arc [--ask] [--buffer BYTES] LIBRARY 'COMMAND LINE'\n"
               "       kestrel-arc [--ask] --list LIBRARY ARCHIVE [PATTERN]\n"
               "LIBRARY: unlha, unzip or cab\n"
               "  --ask         answer the library's questions on this terminal\n"
               "                (without it, questions get the safe answer)\n"
               "  --buffer N    size of the output buffer in bytes (default 65536)\n",
               stderr);
}

bool parseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!args.rest.empty() || a.empty() || a[0] != '-') {
            args.rest.push_back(a);
        } else if (a == "--ask") {
            args.ask = true;
        } else if (a == "--list" || a == "-l") {
            args.list = true;
        } else if (a == "--buffer" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long n = std::strtoull(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || n == 0 || n > (1ull << 30))
                return false;
            args.bufferSize = static_cast<unsigned long>(n);
        } else if (a == "--") {
            for (++i; i < argc; ++i)
                args.rest.push_back(argv[i]);
        } else {
            return false;
        }
    }
    return args.rest.size() == 2 || (args.list && args.rest.size() == 3);
}

int runCommand(ArchiverLibrary& lib, void* window, const Arguments& args) {
    std::vector<char> buffer(args.bufferSize, '\0');
    const int result = lib.command(window, args.rest[1].c_str(), buffer.data(), args.bufferSize);
    // The library promises a terminated text; do not rely on it.
    buffer.back() = '\0';
    if (buffer[0] != '\0') {
        std::fputs(buffer.data(), stdout);
        if (buffer[std::strlen(buffer.data()) - 1] != '\n')
            std::fputc('\n', stdout);
    }
    std::printf("result: %s\n", kestrel::cli::resultText(result).c_str());
    return kestrel::cli::exitStatus(result);
}

int runListing(ArchiverLibrary& lib, void* window, const Arguments& args) {
    void* archive = lib.openArchive(window, args.rest[1].c_str(), 0);
    if (archive == nullptr) {
        std::fprintf(stderr, "kestrel-arc: cannot open %s as an archive\n", args.rest[1].c_str());
        return 2;
    }
    const std::string pattern = args.rest.size() > 2 ? args.rest[2] : "*.*";
    EntryInfo entry;
    std::memset(&entry, 0, sizeof entry);
    std::puts(kestrel::cli::ListingPrinter::header().c_str());
    int count = 0;
    for (int r = lib.findFirst(archive, pattern.c_str(), &entry); r == 0;
         r = lib.findNext(archive, &entry)) {
        std::puts(kestrel::cli::ListingPrinter::row(entry).c_str());
        ++count;
        std::memset(&entry, 0, sizeof entry);
    }
    lib.closeArchive(archive);
    std::printf("%d entries\n", count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage();
        return 0;
    }
    if (!parseArguments(argc, argv, args)) {
        usage();
        return 3;
    }
    ArchiverLibrary lib(args.rest[0]);
    if (!lib.known()) {
        std::fprintf(stderr, "kestrel-arc: unknown library '%s' (use unlha, unzip or cab)\n",
                     args.rest[0].c_str());
        return 3;
    }
    if (!lib.load()) {
        std::fprintf(stderr, "kestrel-arc: %s\n", lib.error().c_str());
        return 3;
    }
    kestrel::cli::TerminalHost terminal;
    void* window = args.ask ? static_cast<void*>(terminal.host()) : nullptr;
    return args.list ? runListing(lib, window, args) : runCommand(lib, window, args);
}
