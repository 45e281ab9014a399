#include "CabListing.h"

#include "CabArchive.h"
#include "CommandLine.h"
#include "Wildcard.h"

namespace kestrel::arc::cab {

bool CabListing::open(const std::string& path) {
    CabArchive archive;
    std::string message;
    if (archive.open(path, message) != 0) return false;
    // A member of a set lists the whole set when its neighbours are at hand, so
    // that a file spanning two cabinets shows once, with its full size.
    archive.joinPrevious();
    std::string missing;
    archive.joinNext(nullptr, missing);
    for (mscabd_file* file : archive.files()) entries_.push_back(CabEntry::from(*file));
    return true;
}

int CabListing::findFirst(const char* wildName, EntryInfo* entry) {
    pattern_ = wildName ? wildName : "*.*";
    next_ = 0;
    return findNext(entry);
}

int CabListing::findNext(EntryInfo* entry) {
    if (!entry) return -1;
    while (next_ < entries_.size()) {
        const CabEntry& e = entries_[next_++];
        if (CommandLine::isEverything(pattern_) || Wildcard::match(pattern_, e.name) ||
            Wildcard::match(pattern_, e.slashName())) {
            e.fill(*entry);
            return 0;
        }
    }
    return -1;
}

}  // namespace kestrel::arc::cab
