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

std::string decodeStoredName(std::string_view raw, std::string_view strict) {
    // Flagged UTF-8 (and plain ASCII) comes back unchanged in strict mode.
    if (raw == strict)
        return std::string(raw);
    // Unflagged but valid UTF-8: what zip tools on Linux write. CP932 text is rarely
    // valid UTF-8 by accident, so this guess is safe.
    if (NameEncoding::isValidUtf8(raw))
        return std::string(raw);
    // Otherwise a Windows-made archive: CP932 on Japanese systems; bytes that are not
    // CP932 either are kept visible as %XX by toUtf8.
    return NameEncoding::toUtf8(raw);
}

std::string decodeEntryName(struct zip* archive, uint64_t index, const std::string& raw,
                            const std::string& strict) {
    std::string utf8;
    if (raw != strict && unicodePathField(archive, index, raw, utf8))
        return utf8;
    return decodeStoredName(raw, strict);
}

}  // namespace kestrel::zip
