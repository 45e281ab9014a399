#include "LzhFinder.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "Attributes.h"
#include "EntryRecord.h"
#include "EntrySelector.h"
#include "Wildcard.h"

namespace kestrel::lzh {

namespace {

// Copies `text` into a fixed field, cut at a UTF-8 character boundary, NUL-padded.
// A NUL inside the text (a damaged folder name) shows as '?' rather than end it.
void copyField(char* field, size_t size, const std::string& text) {
    std::memset(field, 0, size);
    size_t n = std::min(text.size(), size - 1);
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(field, text.data(), n);
    std::replace(field, field + n, '\0', '?');
}

int16_t ratioOf(uint64_t compressed, uint64_t original) {
    if (original == 0) return 0;
    // Rounded tenths of a percent; hostile sizes cannot overflow the field.
    long double r = (static_cast<long double>(compressed) * 1000.0L) / static_cast<long double>(original);
    return static_cast<int16_t>(std::min<long double>(r + 0.5L, SHRT_MAX));
}

}  // namespace

bool LzhFinder::open(const std::string& path) {
    auto status = archive_.open(path);
    return status == LzhArchive::Status::Ok || status == LzhArchive::Status::Damaged;
}

void LzhFinder::fill(const LzhEntry& entry, EntryInfo& info) {
    std::memset(&info, 0, sizeof info);
    arc::setEntrySize(info, entry.originalSize);
    info.compressedSize = static_cast<uint32_t>(std::min<uint64_t>(entry.compressedSize, UINT32_MAX));
    info.crc = entry.crc;
    info.flags = entry.isDirectory ? ENTRY_FLAG_FOLDER : 0;
    info.osType = entry.osId;
    info.ratio = ratioOf(entry.compressedSize, entry.originalSize);
    info.dosDate = entry.dosTime.date;
    info.dosTime = entry.dosTime.time;
    arc::setEntryName(info, entry.displayName());
    copyField(info.attribute, sizeof info.attribute, arc::Attributes::text(entry.dosAttributes));
    std::string method = entry.method;
    for (char& c : method)
        if (c < 0x20 || c > 0x7E) c = '?';
    copyField(info.method, sizeof info.method, method);
}

int LzhFinder::findFirst(const char* pattern, EntryInfo* info) {
    pattern_ = pattern && *pattern ? pattern : "*.*";
    next_ = 0;
    return findNext(info);
}

int LzhFinder::findNext(EntryInfo* info) {
    if (!info) return 1;
    std::string wanted = EntrySelector::normalise(pattern_);
    bool everything = pattern_ == "*.*" || pattern_ == "*";
    const auto& entries = archive_.entries();
    while (next_ < entries.size()) {
        const LzhEntry& entry = entries[next_++];
        if (everything || arc::Wildcard::match(wanted, entry.name)) {
            fill(entry, *info);
            return 0;
        }
    }
    return 1;
}

}  // namespace kestrel::lzh
