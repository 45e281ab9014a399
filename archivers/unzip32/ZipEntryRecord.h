// Filling the 560-byte listing record from a ZIP entry.
#pragma once

#include <cstdint>

#include "EntryInfo.h"
#include "ZipEntry.h"

namespace kestrel::zip {

void fillEntryInfo(const ZipEntry& entry, EntryInfo& record);

// compressed / original in tenths of a percent, 0 for an empty entry, capped to the
// record's 16-bit field.
int16_t ratioTenths(uint64_t compressed, uint64_t original);

// The four-letter attribute text: from the Unix mode when the archive was made on a
// Unix-like system, else from the MS-DOS attribute byte.
std::string attributeText(const ZipEntry& entry);

}  // namespace kestrel::zip
