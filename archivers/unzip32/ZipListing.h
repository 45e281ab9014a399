// The state behind an UnZipOpenArchive handle: the archive and the place reached by
// FindFirst / FindNext.
#pragma once

#include <string>

#include "EntryInfo.h"
#include "ZipReader.h"

namespace kestrel::zip {

class ZipListing {
public:
    bool open(const std::string& path) { return reader_.open(path); }

    // Restarts at the first entry matching `pattern` ("*.*" or null for all). 0 when an
    // entry was stored in `record`, -1 when there is none.
    int findFirst(const char* pattern, EntryInfo* record);
    int findNext(EntryInfo* record);

private:
    bool wanted(const ZipEntry& entry) const;

    ZipReader reader_;
    std::string pattern_ = "*.*";
    size_t next_ = 0;
};

}  // namespace kestrel::zip
