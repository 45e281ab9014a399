#include "ArchiverLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace kestrel::arc {

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

std::string lastDlError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
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

std::vector<std::string> ArchiverLibrary::searchFolders() {
    const std::string own = executableFolder();
    if (own.empty())
        return {""};
    return {own, own + "../lib/kestrel/", ""};
}

ArchiverLibrary::ArchiverLibrary(std::string kind, std::vector<std::string> folders)
    : folders_(std::move(folders)) {
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
    std::string reasons;
    // With an empty folder the bare name makes dlopen search the system's path.
    for (const std::string& folder : folders_)
        if (tryLoad(folder + fileName_, reasons))
            return true;
    error_ = "cannot load " + fileName_ + ":" + reasons;
    return false;
}

bool ArchiverLibrary::tryLoad(const std::string& path, std::string& reasons) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        reasons += "\n  " + lastDlError();  // names the path itself
        return false;
    }
    std::string reason;
    if (resolve(reason))
        return true;
    dlclose(handle_);
    handle_ = nullptr;
    reasons += "\n  " + path + ": " + reason;
    return false;
}

bool ArchiverLibrary::resolve(std::string& reason) {
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
        const std::string symbol = prefix_ + slot.suffix;
        *slot.target = dlsym(handle_, symbol.c_str());
        if (*slot.target == nullptr) {
            reason = "no entry " + symbol;
            return false;
        }
    }
    return true;
}

}  // namespace kestrel::arc
