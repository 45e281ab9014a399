#include "ZipListing.h"

#include "CommandLine.h"
#include "Wildcard.h"
#include "ZipEntryRecord.h"

namespace kestrel::zip {

bool ZipListing::wanted(const ZipEntry& entry) const {
    return arc::CommandLine::isEverything(pattern_) || arc::Wildcard::match(pattern_, entry.name);
}

int ZipListing::findFirst(const char* pattern, EntryInfo* record) {
    pattern_ = pattern != nullptr && pattern[0] != '\0' ? pattern : "*.*";
    next_ = 0;
    return findNext(record);
}

int ZipListing::findNext(EntryInfo* record) {
    if (record == nullptr)
        return -1;
    const auto& entries = reader_.entries();
    while (next_ < entries.size()) {
        const ZipEntry& entry = entries[next_++];
        if (wanted(entry)) {
            fillEntryInfo(entry, *record);
            return 0;
        }
    }
    return -1;
}

}  // namespace kestrel::zip
