// The state behind an UnlhaOpenArchive handle: the archive's entries and where
// FindNext goes on.
#ifndef KESTREL_LZH_FINDER_H
#define KESTREL_LZH_FINDER_H

#include <string>

#include "EntryInfo.h"
#include "LzhArchive.h"

namespace kestrel::lzh {

class LzhFinder {
public:
    // False when the file is not an archive at all; a damaged archive lists the
    // entries before the damage.
    bool open(const std::string& path);

    // 0 with `info` filled when an entry matches, else 1.
    int findFirst(const char* pattern, EntryInfo* info);
    int findNext(EntryInfo* info);

    static void fill(const LzhEntry& entry, EntryInfo& info);

private:
    LzhArchive archive_;
    std::string pattern_ = "*.*";
    size_t next_ = 0;
};

}  // namespace kestrel::lzh

#endif
