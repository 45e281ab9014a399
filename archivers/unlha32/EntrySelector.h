// Choosing the entries a command works on from the names or wildcards it was given.
#ifndef KESTREL_LZH_ENTRY_SELECTOR_H
#define KESTREL_LZH_ENTRY_SELECTOR_H

#include <string>
#include <vector>

#include "LzhEntry.h"

namespace kestrel::lzh {

class EntrySelector {
public:
    // Indexes of the entries matching any of `patterns`, in archive order. A pattern
    // is a name as listed ('\' or '/' separators, a folder with or without its
    // trailing '/') or a wildcard; "*.*" selects everything. A pattern that is the
    // exact name of an entry selects that entry alone, wildcard characters or not. Patterns that matched
    // nothing are returned in `unmatched`.
    static std::vector<size_t> select(const std::vector<LzhEntry>& entries,
                                      const std::vector<std::string>& patterns,
                                      std::vector<std::string>& unmatched);

    // The form names are compared in: '/' separators, no "./" in front, no '/' behind.
    static std::string normalise(const std::string& name);
};

}  // namespace kestrel::lzh

#endif
