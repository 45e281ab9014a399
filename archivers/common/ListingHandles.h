// The archive handles that OpenArchive gives out, for the listing entries of every
// library. The C caller holds only a void*: a handle is used only while it is one
// this registry gave out and has not seen closed, so a stale, doubled or made-up
// pointer is refused instead of being followed. Nothing thrown inside crosses the
// C boundary.
//
// Listing is any type with  bool open(const std::string&),
// int findFirst(const char*, EntryInfo*)  and  int findNext(EntryInfo*).
#ifndef KESTREL_ARC_LISTING_HANDLES_H
#define KESTREL_ARC_LISTING_HANDLES_H

#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

#include "EntryInfo.h"

namespace kestrel::arc {

template <class Listing>
class ListingHandles {
public:
    // A new handle on the archive at `path`, or null when it cannot be listed.
    void* open(const char* path) {
        if (path == nullptr) return nullptr;
        try {
            auto listing = std::make_unique<Listing>();
            if (!listing->open(path)) return nullptr;
            std::lock_guard<std::mutex> lock(mutex_);
            live_.insert(listing.get());
            return listing.release();
        } catch (...) {
            return nullptr;
        }
    }

    // 0 when an entry was stored in `entry`; -1 for no entry or a bad call.
    int findFirst(void* handle, const char* wildName, EntryInfo* entry) {
        Listing* listing = lookUp(handle);
        if (listing == nullptr || entry == nullptr) return -1;
        try {
            return listing->findFirst(wildName, entry);
        } catch (...) {
            return -1;
        }
    }

    int findNext(void* handle, EntryInfo* entry) {
        Listing* listing = lookUp(handle);
        if (listing == nullptr || entry == nullptr) return -1;
        try {
            return listing->findNext(entry);
        } catch (...) {
            return -1;
        }
    }

    // 0 when the handle was live and is now gone; -1 otherwise.
    int close(void* handle) {
        std::unique_ptr<Listing> listing;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (live_.erase(static_cast<Listing*>(handle)) == 0) return -1;
            listing.reset(static_cast<Listing*>(handle));
        }
        return 0;  // the listing is freed outside the lock
    }

private:
    Listing* lookUp(void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = live_.find(static_cast<Listing*>(handle));
        return it == live_.end() ? nullptr : *it;
    }

    std::mutex mutex_;
    std::unordered_set<Listing*> live_;
};

}  // namespace kestrel::arc

#endif
