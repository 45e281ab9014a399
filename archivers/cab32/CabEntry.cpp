#include "CabEntry.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "Attributes.h"
#include "CabFormat.h"
#include "EntryRecord.h"
#include "NameEncoding.h"

namespace kestrel::arc::cab {

namespace {

// Copies `text` into a fixed field, NUL-terminated, never cutting a UTF-8 character.
void copyField(char* field, size_t fieldSize, const std::string& text) {
    size_t n = std::min(text.size(), fieldSize - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, fieldSize - n);
}

}  // namespace

CabEntry CabEntry::from(const mscabd_file& file) {
    CabEntry entry;
    // Without the UTF-8 mark a name is in the creator's ANSI code page, which for
    // the cabinets this program meets is CP932; toUtf8 reads it so.
    entry.name = NameEncoding::toUtf8(file.filename ? file.filename : "");
    entry.size = file.length;
    entry.attributes = static_cast<uint16_t>(file.attribs);
    int year = std::clamp(file.date_y - 1980, 0, 127);
    entry.dosDate = static_cast<uint16_t>(year << 9 | (file.date_m & 0x0F) << 5 | (file.date_d & 0x1F));
    entry.dosTime = static_cast<uint16_t>((file.time_h & 0x1F) << 11 | (file.time_m & 0x3F) << 5 |
                                          ((file.time_s / 2) & 0x1F));
    entry.typeCompress = file.folder ? static_cast<uint16_t>(file.folder->comp_type) : 0;
    return entry;
}

std::string CabEntry::slashName() const {
    std::string out = name;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

void CabEntry::fill(EntryInfo& info) const {
    std::memset(&info, 0, sizeof info);
    setEntrySize(info, size);
    info.flags = isFolder() ? ENTRY_FLAG_FOLDER : 0;
    info.ratio = 0;  // a file's share of its folder's compressed data is not known
    info.dosDate = dosDate;
    info.dosTime = dosTime;
    // Listed with '/' like the other two formats, so a viewer treats every archive alike.
    copyField(info.name, sizeof info.name, slashName());
    if (slashName().size() >= sizeof info.name) info.flags |= ENTRY_FLAG_NAME_CUT;
    copyField(info.attribute, sizeof info.attribute, Attributes::text(static_cast<uint8_t>(attributes)));
    copyField(info.method, sizeof info.method, methodText(typeCompress));
}

}  // namespace kestrel::arc::cab
