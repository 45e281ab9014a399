// Filling the listing record's size and name the same way in every library.
#ifndef KESTREL_ARC_ENTRY_RECORD_H
#define KESTREL_ARC_ENTRY_RECORD_H

#include <cstdint>
#include <string>

#include "EntryInfo.h"

namespace kestrel::arc {

// Sets originalSize and sizeHigh as EntryInfo.h describes, so EntryInfoSize()
// gives `size` back.
void setEntrySize(EntryInfo& info, uint64_t size);

// Copies `name` into the record's name, NUL-terminated; a name too long is cut at
// a UTF-8 character boundary and the record gets ENTRY_FLAG_NAME_CUT. A NUL
// inside the name shows as '?'.
void setEntryName(EntryInfo& info, const std::string& name);

}  // namespace kestrel::arc

#endif
