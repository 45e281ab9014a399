// Archives as other archivers write them, built byte by byte: level-0 and level-1
// headers of DOS-era tools, -lz5- streams, OS-9's short level-2 headers.
#ifndef KESTREL_TEST_FOREIGN_ARCHIVES_H
#define KESTREL_TEST_FOREIGN_ARCHIVES_H

#include <cstdint>
#include <random>
#include <string>

#include "UnlhaTestSupport.h"

namespace foreign {

inline void put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
inline uint16_t crcOf(const std::string& s) {
    return kestrel::lzh::Crc16::of(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

constexpr uint16_t DosTime = 0x6354, DosDate = 0x512D;  // 2020-09-13 12:26:40

// A level-0 entry: `name` as stored (NULs and all), then `extension` (the Unix
// area of level 0), then the compressed bytes.
inline std::string level0(const std::string& method, const std::string& name, const std::string& data,
                          const std::string& compressed, const std::string& extension = "") {
    std::string body = method;
    put32(body, static_cast<uint32_t>(compressed.size()));
    put32(body, static_cast<uint32_t>(data.size()));
    put16(body, DosTime);
    put16(body, DosDate);
    body += '\x20';
    body += '\0';
    body += static_cast<char>(name.size());
    body += name;
    put16(body, crcOf(data));
    body += extension;
    uint8_t sum = 0;
    for (char c : body) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    return std::string(1, static_cast<char>(body.size())) + static_cast<char>(sum) + body + compressed;
}

// A stored level-1 entry with extended headers `ext` (each "type + data").
inline std::string level1(const std::string& name, const std::string& data, const std::vector<std::string>& ext) {
    std::string chain;
    for (size_t i = 0; i < ext.size(); ++i) {
        chain += ext[i];
        put16(chain, i + 1 < ext.size() ? static_cast<uint32_t>(ext[i + 1].size() + 2) : 0);
    }
    std::string body = "-lh0-";
    put32(body, static_cast<uint32_t>(data.size() + chain.size()));
    put32(body, static_cast<uint32_t>(data.size()));
    put16(body, DosTime);
    put16(body, DosDate);
    body += '\x20';
    body += '\x01';
    body += static_cast<char>(name.size());
    body += name;
    put16(body, crcOf(data));
    body += 'U';
    put16(body, ext.empty() ? 0 : static_cast<uint32_t>(ext[0].size() + 2));
    uint8_t sum = 0;
    for (char c : body) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    return std::string(1, static_cast<char>(body.size())) + static_cast<char>(sum) + body + chain + data;
}

// A -lz5- stream of about `size` bytes and what it decodes to: `literalsOnly`
// gives flag bytes of 0xFF and eight literals each; otherwise after three such
// groups every group ends in a two-byte copy command (three bytes from seven
// back), and one of them straddles the 64 KiB mark of the compressed data.
struct Lz5 {  // (also used for -lzs-)
    std::string data, compressed;
};
inline Lz5 lz5Stream(size_t size, bool literalsOnly) {
    Lz5 out;
    std::mt19937 rng(5);
    auto literal = [&] {
        char c = static_cast<char>(rng());
        out.data += c;
        out.compressed += c;
    };
    for (int g = 0; g < 3 || (literalsOnly && out.data.size() < size); ++g) {
        out.compressed += '\xFF';
        for (int i = 0; i < 8; ++i) literal();
    }
    while (out.data.size() < size) {
        out.compressed += '\x7F';
        for (int i = 0; i < 7; ++i) literal();
        // The ring buffer of 4096 bytes starts writing at 4096 - 18.
        size_t at = out.data.size();
        unsigned start = static_cast<unsigned>((4078 + at - 7) % 4096);
        out.compressed += static_cast<char>(start & 0xFF);
        out.compressed += static_cast<char>((start >> 4) & 0xF0);  // length 3
        out.data += out.data.substr(at - 7, 3);
    }
    return out;
}

// A -lzs- stream of `size` literals: a 1 bit and eight bits of the byte each,
// most significant bit first.
inline Lz5 lzsLiterals(size_t size) {
    Lz5 out;
    std::mt19937 rng(3);
    uint32_t acc = 0;
    int bits = 0;
    for (size_t i = 0; i < size; ++i) {
        uint8_t b = static_cast<uint8_t>(rng());
        out.data += static_cast<char>(b);
        acc = (acc << 9) | 0x100 | b;
        for (bits += 9; bits >= 8; bits -= 8) out.compressed += static_cast<char>((acc >> (bits - 8)) & 0xFF);
    }
    if (bits > 0) out.compressed += static_cast<char>((acc << (8 - bits)) & 0xFF);
    return out;
}

// An OS-9/68k level-2 header: length field two short, OS id 'K', header CRC over
// the whole header as it stands in the file.
inline std::string os9Entry(const std::string& name, const std::string& data, int shortBy = 2) {
    std::string bytes = makeArchiveBytes({{name, data}});
    bytes.pop_back();  // the end mark
    size_t total = static_cast<uint8_t>(bytes[0]) | (static_cast<uint8_t>(bytes[1]) << 8);
    std::string header = bytes.substr(0, total);
    header[23] = 'K';
    header[27] = header[28] = '\0';  // the CRC of ext 0x00, the first extension
    std::string length;
    put16(length, static_cast<uint32_t>(total - shortBy));
    header.replace(0, 2, length);
    uint16_t crc = crcOf(header);
    header[27] = static_cast<char>(crc & 0xFF);
    header[28] = static_cast<char>(crc >> 8);
    return header + bytes.substr(total);
}

}  // namespace foreign

#endif
