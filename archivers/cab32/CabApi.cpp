// The C entry points of libcab32.so.
#include <memory>
#include <mutex>
#include <unordered_set>

#include "Cab32.h"
#include "CabCommand.h"
#include "CabListing.h"

namespace {

using kestrel::arc::cab::CabListing;

// Handles given out and not yet closed: a stale or made-up pointer is refused
// instead of being followed.
std::mutex handlesLock;
std::unordered_set<CabListing*> handles;

CabListing* lookUp(void* archive) {
    std::lock_guard<std::mutex> lock(handlesLock);
    auto it = handles.find(static_cast<CabListing*>(archive));
    return it == handles.end() ? nullptr : *it;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int Cab(void* window, const char* commandLine, char* output,
                                               unsigned long outputSize) {
    return kestrel::arc::cab::CabCommand::run(window, commandLine, output, outputSize);
}

__attribute__((visibility("default"))) void* CabOpenArchive(void*, const char* archivePath, unsigned long) {
    if (!archivePath) return nullptr;
    try {
        auto listing = std::make_unique<CabListing>();
        if (!listing->open(archivePath)) return nullptr;
        std::lock_guard<std::mutex> lock(handlesLock);
        handles.insert(listing.get());
        return listing.release();
    } catch (...) {
        return nullptr;
    }
}

__attribute__((visibility("default"))) int CabFindFirst(void* archive, const char* wildName, EntryInfo* entry) {
    CabListing* listing = lookUp(archive);
    try {
        return listing ? listing->findFirst(wildName, entry) : -1;
    } catch (...) {
        return -1;
    }
}

__attribute__((visibility("default"))) int CabFindNext(void* archive, EntryInfo* entry) {
    CabListing* listing = lookUp(archive);
    try {
        return listing ? listing->findNext(entry) : -1;
    } catch (...) {
        return -1;
    }
}

__attribute__((visibility("default"))) int CabCloseArchive(void* archive) {
    std::unique_ptr<CabListing> listing;
    {
        std::lock_guard<std::mutex> lock(handlesLock);
        if (handles.erase(static_cast<CabListing*>(archive)) == 0) return -1;
        listing.reset(static_cast<CabListing*>(archive));
    }
    return 0;
}

}  // extern "C"
