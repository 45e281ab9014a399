// One archiver library (libunlha32.so, libunzip32.so, libcab32.so) loaded with dlopen,
// with its command entry and its four listing entries.
#pragma once

#include <string>

#include "../common/ArchiverApi.h"

namespace kestrel::cli {

class ArchiverLibrary {
public:
    using CommandFn = int (*)(void*, const char*, char*, unsigned long);
    using OpenFn = void* (*)(void*, const char*, unsigned long);
    using FindFirstFn = int (*)(void*, const char*, EntryInfo*);
    using FindNextFn = int (*)(void*, EntryInfo*);
    using CloseFn = int (*)(void*);

    // `kind` is "unlha", "unzip" or "cab" (a trailing "32", a "lib" prefix and case are
    // forgiven). Nothing is loaded until load() is called.
    explicit ArchiverLibrary(std::string kind);
    ~ArchiverLibrary();
    ArchiverLibrary(const ArchiverLibrary&) = delete;
    ArchiverLibrary& operator=(const ArchiverLibrary&) = delete;

    // True when `kind` names one of the three libraries.
    bool known() const { return !fileName_.empty(); }
    const std::string& fileName() const { return fileName_; }

    // Loads the library, from the folder of this executable first, then from the
    // system's search path. False with error() when it or one of its entries is missing.
    bool load();
    const std::string& error() const { return error_; }

    CommandFn command = nullptr;
    OpenFn openArchive = nullptr;
    FindFirstFn findFirst = nullptr;
    FindNextFn findNext = nullptr;
    CloseFn closeArchive = nullptr;

private:
    bool resolve(const std::string& prefix);

    std::string fileName_;
    std::string prefix_;
    void* handle_ = nullptr;
    std::string error_;
};

// The folder holding the running executable, with a trailing '/', or empty.
std::string executableFolder();

}  // namespace kestrel::cli
