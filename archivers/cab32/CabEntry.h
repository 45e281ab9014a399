// What the libraries report of one file of a cabinet, read from libmspack's record.
#ifndef KESTREL_CAB_ENTRY_H
#define KESTREL_CAB_ENTRY_H

#include <mspack.h>

#include <cstdint>
#include <string>

#include "EntryInfo.h"

namespace kestrel::arc::cab {

struct CabEntry {
    std::string name;  // UTF-8, separators as stored ('\')
    uint32_t size = 0;
    uint16_t dosDate = 0;
    uint16_t dosTime = 0;
    uint16_t attributes = 0;
    uint16_t typeCompress = 0;

    static CabEntry from(const mscabd_file& file);
    // The name with '/' separators, as matched and extracted.
    std::string slashName() const;
    // Cabinets have no folder entries, but some writers store a folder as a
    // name ending in a separator.
    bool isFolder() const { return !name.empty() && (name.back() == '\\' || name.back() == '/'); }
    void fill(EntryInfo& info) const;
};

}  // namespace kestrel::arc::cab

#endif
