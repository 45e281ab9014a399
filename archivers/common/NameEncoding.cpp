#include "NameEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace kestrel::arc {

namespace {

// Converts the whole of `in`; nothing on any invalid, incomplete or unmappable input.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    std::vector<char> buffer(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
        // glibc counts irreversible conversions in r; a lossy mapping is not exact.
        if (r != static_cast<size_t>(-1) && r > 0) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

bool NameEncoding::isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

bool NameEncoding::isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += len;
    }
    return true;
}

std::optional<std::string> NameEncoding::cp932ToUtf8(std::string_view cp932) {
    if (isAscii(cp932)) return std::string(cp932);
    return convert("UTF-8", "CP932", cp932);
}

std::optional<std::string> NameEncoding::utf8ToCp932(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    if (!isValidUtf8(utf8)) return std::nullopt;
    return convert("CP932", "UTF-8", utf8);
}

std::string NameEncoding::toUtf8(std::string_view stored) {
    if (isValidUtf8(stored)) return std::string(stored);
    if (auto converted = cp932ToUtf8(stored)) return *converted;
    // Neither: keep ASCII, escape the rest, so the result is printable and unique.
    std::string out;
    for (unsigned char c : stored) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string NameEncoding::toStored(std::string_view utf8) {
    if (auto cp932 = utf8ToCp932(utf8)) {
        // Only choose CP932 when it reads back as the same text; otherwise a reader
        // that detects UTF-8 first would get another name.
        if (isAscii(*cp932) || !isValidUtf8(*cp932)) return *cp932;
    }
    return std::string(utf8);
}

bool NameEncoding::isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace kestrel::arc
