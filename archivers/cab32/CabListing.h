// The state behind a CabOpenArchive handle: the entries of the cabinet (or of its
// set, as far as its neighbours are found), walked by FindFirst and FindNext.
#ifndef KESTREL_CAB_LISTING_H
#define KESTREL_CAB_LISTING_H

#include <string>
#include <vector>

#include "CabEntry.h"
#include "EntryInfo.h"

namespace kestrel::arc::cab {

class CabListing {
public:
    bool open(const std::string& path);
    // 0 when an entry matching `wildName` was stored in `entry`, -1 when none.
    int findFirst(const char* wildName, EntryInfo* entry);
    int findNext(EntryInfo* entry);

private:
    std::vector<CabEntry> entries_;
    std::string pattern_;
    size_t next_ = 0;
};

}  // namespace kestrel::arc::cab

#endif
