#include "ZipNames.h"

#include <zip.h>
#include <zlib.h>

#include "NameEncoding.h"

namespace kestrel::zip {

using kestrel::arc::NameEncoding;

namespace {

constexpr zip_uint16_t kUnicodePathField = 0x7075;

// The Info-ZIP Unicode Path field: version 1, CRC-32 of the stored name, UTF-8 name.
// A CRC that does not match means the name was changed by a tool that ignored the
// field, so the stored name is the truer one.
bool unicodePathField(struct zip* archive, uint64_t index, const std::string& raw,
                      std::string& utf8) {
    if (archive == nullptr)
        return false;
    zip_uint16_t length = 0;
    const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive, index, kUnicodePathField, 0,
                                                             &length, ZIP_FL_CENTRAL);
    if (data == nullptr || length < 6 || data[0] != 1)
        return false;
    const uint32_t stored = static_cast<uint32_t>(data[1]) | static_cast<uint32_t>(data[2]) << 8 |
                            static_cast<uint32_t>(data[3]) << 16 |
                            static_cast<uint32_t>(data[4]) << 24;
    const uLong actual =
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uInt>(raw.size()));
    if (stored != actual)
        return false;
    std::string name(reinterpret_cast<const char*>(data + 5), length - 5u);
    if (!NameEncoding::isValidUtf8(name) || name.find('\0') != std::string::npos)
        return false;
    utf8 = std::move(name);
    return true;
}

}  // namespace

std::string decodeStoredName(std::string_view raw) {
    // Flagged UTF-8, plain ASCII, and the unflagged UTF-8 that zip tools on Linux
    // write are all valid UTF-8; CP932 text rarely is by accident, so this guess is
    // safe. Everything else is taken as CP932 from a Japanese Windows machine;
    // bytes that are not CP932 either stay visible as %XX (toUtf8), so a name shown
    // or written is always valid UTF-8, even when a flagged name lies.
    if (NameEncoding::isValidUtf8(raw))
        return std::string(raw);
    return NameEncoding::toUtf8(raw);
}

std::string decodeEntryName(struct zip* archive, uint64_t index, const std::string& raw,
                            const std::string& strict) {
    // A name flagged as UTF-8 comes back unchanged in strict mode and needs no
    // Unicode Path field.
    std::string utf8;
    if (raw != strict && unicodePathField(archive, index, raw, utf8))
        return utf8;
    return decodeStoredName(raw);
}

}  // namespace kestrel::zip
