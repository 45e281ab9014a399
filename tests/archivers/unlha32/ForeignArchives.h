// Archives as other archivers write them, built byte by byte.
#ifndef KESTREL_TEST_FOREIGN_ARCHIVES_H
#define KESTREL_TEST_FOREIGN_ARCHIVES_H

#include <random>

#include "UnlhaTestSupport.h"

namespace foreign {

inline std::string le(size_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
inline uint16_t crcOf(const std::string& s) {
    return kestrel::lzh::Crc16::of(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

// A level-0 or level-1 entry of a DOS-era writer (DOS time 2020-09-13 12:26:40),
// `name` as stored, NULs and all. `ext` is the Unix area of level 0, or the one
// extended header ("type + data") of level 1.
inline std::string dosEntry(int level, const std::string& method, const std::string& name, const std::string& data,
                            const std::string& packed, const std::string& ext = "") {
    std::string chain = level == 1 && !ext.empty() ? ext + le(0, 2) : "";
    std::string body = method + le(packed.size() + chain.size(), 4) + le(data.size(), 4) + le(0x512D6354, 4) +
                       '\x20' + static_cast<char>(level) + static_cast<char>(name.size()) + name + le(crcOf(data), 2);
    body += level == 1 ? "U" + le(chain.size(), 2) : ext;
    uint8_t sum = 0;
    for (char c : body) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    return static_cast<char>(body.size()) + std::string(1, static_cast<char>(sum)) + body + chain + packed;
}

// A -lz5- stream of about `size` bytes: groups of a flag byte and eight literals;
// unless `literalsOnly`, after three groups each ends in a two-byte copy command
// (three bytes from seven back) instead, and one of those straddles the 64 KiB
// mark of the compressed data.
inline std::pair<std::string, std::string> lz5Stream(size_t size, bool literalsOnly) {
    std::string data, packed;
    std::mt19937 rng(5);
    for (int group = 0; data.size() < size; ++group) {
        bool copy = !literalsOnly && group >= 3;
        packed += copy ? '\x7F' : '\xFF';
        for (int i = 0; i < (copy ? 7 : 8); ++i) {
            data += static_cast<char>(rng());
            packed += data.back();
        }
        if (!copy) continue;
        size_t start = (4096 - 18 + data.size() - 7) % 4096;  // in the 4 KiB ring the decoder fills
        packed += le(start & 0xFF, 1) + le((start >> 4) & 0xF0, 1);
        data += data.substr(data.size() - 7, 3);
    }
    return {data, packed};
}

// An OS-9/68k level-2 entry: its length field two (`shortBy`) bytes short, OS id
// 'K', the header CRC over the header as it stands.
inline std::string os9Entry(const std::string& name, const std::string& data, int shortBy = 2) {
    std::string bytes = makeArchiveBytes({{name, data}});
    size_t total = static_cast<uint8_t>(bytes[0]) | (static_cast<uint8_t>(bytes[1]) << 8);
    std::string header = le(total - shortBy, 2) + bytes.substr(2, total - 2);
    header[23] = 'K';
    header.replace(27, 2, le(0, 2));  // the CRC of ext 0x00, the first extension
    header.replace(27, 2, le(crcOf(header), 2));
    return header + bytes.substr(total, bytes.size() - total - 1);
}

}  // namespace foreign

#endif
