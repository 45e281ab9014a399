// The C entry points of libunzip32.so.
#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

#include "ArchiverApi.h"
#include "ZipCommand.h"
#include "ZipListing.h"

namespace {

using kestrel::zip::ZipListing;

// Handles given out and not yet closed. A caller's stale or made-up pointer is
// refused instead of being followed.
std::mutex handlesLock;
std::unordered_set<ZipListing*> handles;

ZipListing* lookUp(void* archive) {
    std::lock_guard<std::mutex> lock(handlesLock);
    auto it = handles.find(static_cast<ZipListing*>(archive));
    return it == handles.end() ? nullptr : *it;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int UnZip(void* window, const char* commandLine,
                                                 char* output, unsigned long outputSize) {
    return kestrel::zip::ZipCommand::run(window, commandLine, output, outputSize);
}

__attribute__((visibility("default"))) void* UnZipOpenArchive(void*, const char* archivePath,
                                                              unsigned long) {
    if (archivePath == nullptr)
        return nullptr;
    try {
        auto listing = std::make_unique<ZipListing>();
        if (!listing->open(archivePath))
            return nullptr;
        std::lock_guard<std::mutex> lock(handlesLock);
        handles.insert(listing.get());
        return listing.release();
    } catch (...) {
        return nullptr;
    }
}

__attribute__((visibility("default"))) int UnZipFindFirst(void* archive, const char* wildName,
                                                          EntryInfo* entry) {
    ZipListing* listing = lookUp(archive);
    try {
        return listing != nullptr ? listing->findFirst(wildName, entry) : -1;
    } catch (...) {
        return -1;
    }
}

__attribute__((visibility("default"))) int UnZipFindNext(void* archive, EntryInfo* entry) {
    ZipListing* listing = lookUp(archive);
    try {
        return listing != nullptr ? listing->findNext(entry) : -1;
    } catch (...) {
        return -1;
    }
}

__attribute__((visibility("default"))) int UnZipCloseArchive(void* archive) {
    std::unique_ptr<ZipListing> listing;
    {
        std::lock_guard<std::mutex> lock(handlesLock);
        if (handles.erase(static_cast<ZipListing*>(archive)) == 0)
            return -1;
        listing.reset(static_cast<ZipListing*>(archive));
    }
    return 0;
}

}  // extern "C"
