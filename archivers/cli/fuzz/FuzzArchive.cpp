// libFuzzer target for one archiver library, built once per library and mode:
// FUZZ_PREFIX names the library's entries (Unlha, UnZip, Cab); FUZZ_EXTRACT selects
// extraction into a scratch folder (with FUZZ_OPTIONS) instead of listing.
#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ArchiverApi.h"

#define KESTREL_CAT2(a, b) a##b
#define KESTREL_CAT(a, b) KESTREL_CAT2(a, b)

extern "C" {
int FUZZ_PREFIX(void* window, const char* commandLine, char* output, unsigned long outputSize);
void* KESTREL_CAT(FUZZ_PREFIX, OpenArchive)(void* window, const char* path, unsigned long mode);
int KESTREL_CAT(FUZZ_PREFIX, FindFirst)(void* archive, const char* wildName, EntryInfo* entry);
int KESTREL_CAT(FUZZ_PREFIX, FindNext)(void* archive, EntryInfo* entry);
int KESTREL_CAT(FUZZ_PREFIX, CloseArchive)(void* archive);
}

namespace {

// One scratch folder per fuzzing process, under TMPDIR.
const std::string& scratch() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/kestrel-fuzz-XXXXXX";
        if (mkdtemp(templ.data()) == nullptr)
            std::abort();
        return templ;
    }();
    return folder;
}

int makeWritable(const char* path, const struct stat* st, int type, FTW*) {
    if (type == FTW_D || type == FTW_DNR)
        chmod(path, (st->st_mode & 07777) | 0700);
    return 0;
}

int removeOne(const char* path, const struct stat*, int, FTW*) {
    remove(path);
    return 0;
}

// Empties `folder` whatever an extraction left there (read-only folders included).
void clear(const std::string& folder) {
    nftw(folder.c_str(), makeWritable, 16, FTW_PHYS);
    nftw(folder.c_str(), removeOne, 16, FTW_PHYS | FTW_DEPTH);
}

void list(const std::string& path) {
    void* archive = KESTREL_CAT(FUZZ_PREFIX, OpenArchive)(nullptr, path.c_str(), 0);
    if (archive == nullptr)
        return;
    EntryInfo entry;
    int limit = 100000;
    for (int r = KESTREL_CAT(FUZZ_PREFIX, FindFirst)(archive, "*.*", &entry); r == 0 && --limit > 0;
         r = KESTREL_CAT(FUZZ_PREFIX, FindNext)(archive, &entry)) {
    }
    KESTREL_CAT(FUZZ_PREFIX, CloseArchive)(archive);
}

void extract(const std::string& path) {
    const std::string out = scratch() + "/out";
    const std::string line =
        std::string(FUZZ_OPTIONS) + " \"" + path + "\" \"" + out + "/\" \"*.*\"";
    std::vector<char> buffer(4096);
    FUZZ_PREFIX(nullptr, line.c_str(), buffer.data(), buffer.size());
    clear(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratch() + "/input" FUZZ_SUFFIX;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if (FUZZ_EXTRACT)
        extract(path);
    else
        list(path);
    return 0;
}
