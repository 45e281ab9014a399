#include "ArchiverLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace kestrel::cli {

namespace {

std::string normalisedKind(std::string kind) {
    std::transform(kind.begin(), kind.end(), kind.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (kind.rfind("lib", 0) == 0)
        kind.erase(0, 3);
    if (kind.size() > 3 && kind.compare(kind.size() - 3, 3, ".so") == 0)
        kind.erase(kind.size() - 3);
    if (kind.size() > 2 && kind.compare(kind.size() - 2, 2, "32") == 0)
        kind.erase(kind.size() - 2);
    return kind;
}

}  // namespace

std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string text(path, static_cast<size_t>(n));
    const size_t slash = text.rfind('/');
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

ArchiverLibrary::ArchiverLibrary(std::string kind) {
    const std::string k = normalisedKind(std::move(kind));
    if (k == "unlha") {
        fileName_ = "libunlha32.so";
        prefix_ = "Unlha";
    } else if (k == "unzip") {
        fileName_ = "libunzip32.so";
        prefix_ = "UnZip";
    } else if (k == "cab") {
        fileName_ = "libcab32.so";
        prefix_ = "Cab";
    }
}

ArchiverLibrary::~ArchiverLibrary() {
    if (handle_ != nullptr)
        dlclose(handle_);
}

bool ArchiverLibrary::load() {
    if (handle_ != nullptr)
        return true;
    if (!known()) {
        error_ = "unknown library (use unlha, unzip or cab)";
        return false;
    }
    // The copy next to the program wins, so a build folder never picks up an
    // installed library of another version.
    const std::string local = executableFolder() + fileName_;
    handle_ = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
    std::string localError = handle_ == nullptr ? dlerror() : "";
    if (handle_ == nullptr)
        handle_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        error_ = "cannot load " + fileName_ + ": " + localError;
        return false;
    }
    if (!resolve(prefix_)) {
        dlclose(handle_);
        handle_ = nullptr;
        return false;
    }
    return true;
}

bool ArchiverLibrary::resolve(const std::string& prefix) {
    struct Slot {
        const char* suffix;
        void** target;
    };
    const Slot slots[] = {
        {"", reinterpret_cast<void**>(&command)},
        {"OpenArchive", reinterpret_cast<void**>(&openArchive)},
        {"FindFirst", reinterpret_cast<void**>(&findFirst)},
        {"FindNext", reinterpret_cast<void**>(&findNext)},
        {"CloseArchive", reinterpret_cast<void**>(&closeArchive)},
    };
    for (const Slot& slot : slots) {
        const std::string symbol = prefix + slot.suffix;
        *slot.target = dlsym(handle_, symbol.c_str());
        if (*slot.target == nullptr) {
            error_ = fileName_ + " has no entry " + symbol;
            return false;
        }
    }
    return true;
}

}  // namespace kestrel::cli
