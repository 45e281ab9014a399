#include "EntryRecord.h"

#include <algorithm>
#include <cstring>

namespace kestrel::arc {

void setEntrySize(EntryInfo& info, uint64_t size) {
    constexpr uint64_t kLargest = (uint64_t{1} << 47) - 1;
    size = std::min(size, kLargest);
    info.originalSize = static_cast<int32_t>(size & 0x7FFFFFFFu);
    info.sizeHigh = static_cast<uint16_t>(size >> 31);
}

void setEntryName(EntryInfo& info, const std::string& name) {
    std::memset(info.name, 0, sizeof info.name);
    size_t n = std::min(name.size(), sizeof info.name - 1);
    if (n < name.size()) {
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
        info.flags |= ENTRY_FLAG_NAME_CUT;
    }
    std::memcpy(info.name, name.data(), n);
    // A NUL inside a stored name (a damaged folder name) shows as '?' rather than end it.
    std::replace(info.name, info.name + n, '\0', '?');
}

}  // namespace kestrel::arc
