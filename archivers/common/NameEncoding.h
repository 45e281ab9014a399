// Entry names between the bytes an archive stores and the UTF-8 the libraries speak.
//
// Japanese archives made on Windows store names in CP932 (Microsoft's Shift_JIS);
// newer tools store UTF-8. Nothing in the LZH or CAB header says which, so a stored
// name is taken as UTF-8 when it is valid UTF-8, else as CP932. CP932 is used
// through iconv's "CP932" table, not "SHIFT_JIS", which maps 0x5C to the yen sign.
#ifndef KESTREL_ARC_NAME_ENCODING_H
#define KESTREL_ARC_NAME_ENCODING_H

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::arc {

class NameEncoding {
public:
    static bool isAscii(std::string_view s);
    static bool isValidUtf8(std::string_view s);

    // Exact conversions: nothing when a byte sequence or character has no counterpart.
    static std::optional<std::string> cp932ToUtf8(std::string_view cp932);
    static std::optional<std::string> utf8ToCp932(std::string_view utf8);

    // A stored name as UTF-8: kept when already valid UTF-8, else read as CP932;
    // bytes that are neither become "%XX" so that the result is always valid UTF-8
    // and still tells the names apart.
    static std::string toUtf8(std::string_view stored);

    // The bytes to store for a UTF-8 name: CP932 when every character has a CP932
    // form (so that Windows tools read it), else the UTF-8 itself.
    static std::string toStored(std::string_view utf8);

    // True when `byte` starts a two-byte CP932 character; its trail byte may be 0x5C
    // ('\'), which must not be taken as a folder separator.
    static bool isCp932LeadByte(unsigned char byte);
};

}  // namespace kestrel::arc

#endif
