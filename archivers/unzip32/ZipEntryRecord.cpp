#include "ZipEntryRecord.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "Attributes.h"
#include "EntryRecord.h"
#include "DosTime.h"
#include "PathText.h"
#include "ZipMethod.h"

namespace kestrel::zip {

using kestrel::arc::Attributes;

namespace {

// Copies text into a fixed field, NUL-padded, cut before a UTF-8 character that
// would not fit whole. With `terminated` one byte is kept for the NUL.
void copyField(char* field, size_t width, const std::string& text, bool terminated) {
    std::memset(field, 0, width);
    size_t len = std::min(text.size(), terminated ? width - 1 : width);
    if (len < text.size())
        while (len > 0 && (static_cast<unsigned char>(text[len]) & 0xC0) == 0x80)
            --len;
    std::memcpy(field, text.data(), len);
}

}  // namespace

int16_t ratioTenths(uint64_t compressed, uint64_t original) {
    if (original == 0)
        return 0;
    const long double ratio = static_cast<long double>(compressed) * 1000.0L /
                              static_cast<long double>(original);
    const long double rounded = ratio + 0.5L;
    if (rounded >= std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(rounded);
}

std::string attributeText(const ZipEntry& entry) {
    const uint32_t mode = entry.unixMode();
    if (mode != 0)
        return Attributes::text(Attributes::fromMode(static_cast<mode_t>(mode), arc::PathText::lastComponent(entry.name)));
    return Attributes::text(entry.dosAttributes());
}

void fillEntryInfo(const ZipEntry& entry, EntryInfo& record) {
    std::memset(&record, 0, sizeof record);
    arc::setEntrySize(record, entry.size);
    record.compressedSize = static_cast<uint32_t>(
        std::min<uint64_t>(entry.compressedSize, std::numeric_limits<uint32_t>::max()));
    record.crc = entry.crc;
    record.flags = (entry.isFolder() ? uint32_t{ENTRY_FLAG_FOLDER} : 0u) |
                   (entry.encrypted() ? uint32_t{ENTRY_FLAG_ENCRYPTED} : 0u);
    record.osType = entry.madeBy;
    record.ratio = ratioTenths(entry.compressedSize, entry.size);
    const arc::DosDateTime dos = arc::DosTime::fromTimeT(entry.mtime);
    record.dosDate = dos.date;
    record.dosTime = dos.time;
    arc::setEntryName(record, entry.name);
    copyField(record.attribute, sizeof record.attribute, attributeText(entry), false);
    copyField(record.method, sizeof record.method, methodText(entry.method), false);
}

}  // namespace kestrel::zip
