// One archiver library (libunlha32.so, libunzip32.so, libcab32.so) loaded with dlopen,
// with its command entry and its four listing entries. Used by kestrel-arc and by the
// file manager's window; it knows nothing of Qt.
//
// Where a library is looked for, in this order (the first that loads wins):
//   1. the folder of the running program (a build folder, or an install that keeps
//      everything together), so a program never picks up a library of another version;
//   2. <program folder>/../lib/kestrel/, the private folder the install puts them in;
//   3. the system's search path (LD_LIBRARY_PATH, the ld.so cache, /usr/lib...).
// error() names the library and gives the reason of every attempt that failed.
#pragma once

#include <string>
#include <vector>

#include "ArchiverApi.h"

namespace kestrel::arc {

class ArchiverLibrary {
public:
    using CommandFn = int (*)(void*, const char*, char*, unsigned long);
    using OpenFn = void* (*)(void*, const char*, unsigned long);
    using FindFirstFn = int (*)(void*, const char*, EntryInfo*);
    using FindNextFn = int (*)(void*, EntryInfo*);
    using CloseFn = int (*)(void*);

    // `kind` is "unlha", "unzip" or "cab" (a trailing "32", a "lib" prefix and case are
    // forgiven). `folders` are tried in order, each ending in '/'; an empty one stands
    // for the system's search path. Nothing is loaded until load() is called.
    explicit ArchiverLibrary(std::string kind, std::vector<std::string> folders = searchFolders());
    ~ArchiverLibrary();
    ArchiverLibrary(const ArchiverLibrary&) = delete;
    ArchiverLibrary& operator=(const ArchiverLibrary&) = delete;

    // True when `kind` names one of the three libraries.
    bool known() const { return !fileName_.empty(); }
    const std::string& fileName() const { return fileName_; }

    // Loads the library from the first of the folders that has a usable copy.
    // False with error() when it or one of its entries is missing.
    bool load();
    const std::string& error() const { return error_; }

    // The search order above: the program's own folder, <program folder>/../lib/kestrel/,
    // then "" for the system's search path.
    static std::vector<std::string> searchFolders();

    CommandFn command = nullptr;
    OpenFn openArchive = nullptr;
    FindFirstFn findFirst = nullptr;
    FindNextFn findNext = nullptr;
    CloseFn closeArchive = nullptr;

private:
    // Opens `path` and resolves the entries; false with the reason appended to `reasons`.
    bool tryLoad(const std::string& path, std::string& reasons);
    bool resolve(std::string& reason);

    std::string fileName_;
    std::string prefix_;
    std::vector<std::string> folders_;
    void* handle_ = nullptr;
    std::string error_;
};

// The folder holding the running executable, with a trailing '/', or empty.
std::string executableFolder();

}  // namespace kestrel::arc
