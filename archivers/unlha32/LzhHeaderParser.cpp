#include "LzhHeaderParser.h"

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "Crc16.h"
#include "NameEncoding.h"

namespace kestrel::lzh {

namespace {

// Headers are small; this cap (and MaxLevel3Header) keeps damaged size fields
// from driving big reads.
constexpr size_t MaxExtensions = 4096;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t u64(const uint8_t* p) { return u32(p) | (static_cast<uint64_t>(u32(p + 4)) << 32); }

// Amiga archivers keep a file comment behind a NUL in the name field: the name
// ends at the first NUL.
std::string nameField(const uint8_t* data, size_t size) {
    const void* nul = std::memchr(data, 0, size);
    if (nul) size = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data);
    return std::string(reinterpret_cast<const char*>(data), size);
}

// What the extended headers say, gathered before it is put into the entry.
struct Extensions {
    std::string name;
    bool hasName = false;
    std::string folder;
    bool hasHeaderCrc = false;
    size_t headerCrcPos = 0;  // position of the CRC bytes inside the header buffer
    uint16_t headerCrc = 0;
    bool hasUnixTime = false;
    uint32_t unixTime = 0;
    bool hasSizes64 = false;
    uint64_t compressed64 = 0;
    uint64_t original64 = 0;
};

void applyExtension(uint8_t type, const uint8_t* data, size_t size, size_t posInHeader,
                    LzhEntry& entry, Extensions& ext) {
    switch (type) {
        case 0x00:
            if (size >= 2) {
                ext.hasHeaderCrc = true;
                ext.headerCrcPos = posInHeader;
                ext.headerCrc = u16(data);
            }
            break;
        case 0x01:
            ext.name = nameField(data, size);
            ext.hasName = true;
            break;
        case 0x02:
            ext.folder.assign(reinterpret_cast<const char*>(data), size);
            break;
        case 0x40:
            if (size >= 1) {
                entry.dosAttributes = data[0];
                entry.hasDosAttributes = true;
            }
            break;
        case 0x42:
            if (size >= 16) {
                ext.hasSizes64 = true;
                ext.compressed64 = u64(data);
                ext.original64 = u64(data + 8);
            }
            break;
        case 0x46:
            if (size >= 4) entry.codePage = u32(data);
            break;
        case 0x50:
            if (size >= 2) {
                entry.hasUnixMode = true;
                entry.unixMode = u16(data);
            }
            break;
        case 0x51:
            if (size >= 4) {
                entry.hasUidGid = true;
                entry.gid = u16(data);
                entry.uid = u16(data + 2);
            }
            break;
        case 0x54:
            if (size >= 4) {
                ext.hasUnixTime = true;
                ext.unixTime = u32(data);
            }
            break;
        default:
            break;  // comments, time zones, UTF-16 names...: not needed
    }
}

// Walks a chain of extended headers held in `buf` from `pos`, the first size being
// `firstSize`; sizes are 2 or 4 bytes wide. Every element must lie inside the buffer.
bool walkInBuffer(const std::vector<uint8_t>& buf, size_t pos, uint32_t firstSize, int sizeWidth,
                  LzhEntry& entry, Extensions& ext, std::string& problem, size_t& chainEnd) {
    uint32_t size = firstSize;
    size_t count = 0;
    while (size != 0) {
        if (++count > MaxExtensions || size < 1u + sizeWidth || size > buf.size() - pos) {
            problem = "拡張ヘッダが壊れています";
            return false;
        }
        size_t dataSize = size - 1 - sizeWidth;
        applyExtension(buf[pos], &buf[pos + 1], dataSize, pos + 1, entry, ext);
        const uint8_t* next = &buf[pos + 1 + dataSize];
        pos += size;
        size = sizeWidth == 2 ? u16(next) : u32(next);
    }
    chainEnd = pos;
    return true;
}

bool checksumOk(const std::vector<uint8_t>& buf, size_t headerSize) {
    uint8_t sum = 0;
    for (size_t i = 2; i < headerSize + 2; ++i) sum = static_cast<uint8_t>(sum + buf[i]);
    return sum == buf[1];
}

bool headerCrcOk(std::vector<uint8_t> buf, const Extensions& ext) {
    if (!ext.hasHeaderCrc) return true;
    buf[ext.headerCrcPos] = 0;
    buf[ext.headerCrcPos + 1] = 0;
    return Crc16::of(buf.data(), buf.size()) == ext.headerCrc;
}

// A Unix time stored beside the DOS time of level 0 and 1 is the true time, in
// UTC; the DOS fields are the writer's local time. The listing shows it in ours.
void takeUnixTime(LzhEntry& entry, uint32_t unixTime) {
    entry.mtime = static_cast<time_t>(unixTime);
    entry.dosTime = arc::DosTime::fromTimeT(entry.mtime);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    std::string path;
    for (char c : folder) path += (static_cast<uint8_t>(c) == 0xFF) ? '/' : c;
    if (!path.empty() && path.back() != '/' && !name.empty()) path += '/';
    return path + name;
}

void fillCommon(const uint8_t* b, LzhEntry& entry) {
    entry.method.assign(reinterpret_cast<const char*>(b + 2), 5);
    entry.compressedSize = u32(b + 7);
    entry.originalSize = u32(b + 11);
    entry.level = b[20];
}

LzhHeaderParser::Outcome bad(std::string& problem, const char* why) {
    problem = why;
    return LzhHeaderParser::Outcome::Bad;
}

LzhHeaderParser::Outcome parseLevel0(const LzhHeaderParser::ReadAt& read, uint64_t offset,
                                     const uint8_t* b, LzhEntry& entry, std::string& problem) {
    size_t total = static_cast<size_t>(b[0]) + 2;
    size_t f = b[21];
    if (total < 24 + f) return bad(problem, "ヘッダの長さが不正です");
    std::vector<uint8_t> buf(total);
    if (!read(offset, buf.data(), total)) return bad(problem, "ヘッダが途中で切れています");
    if (!checksumOk(buf, b[0])) return bad(problem, "ヘッダのチェックサムが一致しません");
    fillCommon(buf.data(), entry);
    entry.dosTime = {u16(&buf[17]), u16(&buf[15])};
    entry.mtime = arc::DosTime::toTimeT(entry.dosTime);
    entry.dosAttributes = buf[19];
    entry.hasDosAttributes = true;
    entry.storedPath = nameField(&buf[22], f);
    entry.crc = u16(&buf[22 + f]);
    entry.osId = 0;
    // The Unix extension of level 0: OS id 'U', a minor version, time, mode, uid, gid.
    size_t extra = total - (24 + f);
    if (extra >= 1) entry.osId = buf[24 + f];
    if (extra >= 12 && buf[24 + f] == 'U') {
        const uint8_t* u = &buf[26 + f];
        takeUnixTime(entry, u32(u));
        entry.hasUnixMode = true;
        entry.unixMode = u16(u + 4);
        entry.hasUidGid = true;
        entry.uid = u16(u + 6);
        entry.gid = u16(u + 8);
    }
    entry.dataOffset = offset + total;
    return LzhHeaderParser::Outcome::Entry;
}

LzhHeaderParser::Outcome parseLevel1(const LzhHeaderParser::ReadAt& read, uint64_t offset,
                                     uint64_t end, const uint8_t* b, LzhEntry& entry,
                                     std::string& problem) {
    size_t baseTotal = static_cast<size_t>(b[0]) + 2;
    size_t f = b[21];
    if (baseTotal < 27 + f) return bad(problem, "ヘッダの長さが不正です");
    std::vector<uint8_t> buf(baseTotal);
    if (!read(offset, buf.data(), baseTotal)) return bad(problem, "ヘッダが途中で切れています");
    if (!checksumOk(buf, b[0])) return bad(problem, "ヘッダのチェックサムが一致しません");
    fillCommon(buf.data(), entry);
    entry.dosTime = {u16(&buf[17]), u16(&buf[15])};
    entry.mtime = arc::DosTime::toTimeT(entry.dosTime);
    entry.crc = u16(&buf[22 + f]);
    entry.osId = buf[24 + f];
    std::string baseName = nameField(&buf[22], f);
    uint64_t skipSize = entry.compressedSize;

    // The extended headers follow the base header and count in the skip size; read
    // them one by one, each bounded by what is left of the skip size.
    Extensions ext;
    uint64_t pos = offset + baseTotal;
    uint64_t extBytes = 0;
    uint32_t size = u16(&buf[25 + f]);
    size_t count = 0;
    while (size != 0) {
        if (++count > MaxExtensions || size < 3 || extBytes + size > skipSize || pos + size > end)
            return bad(problem, "拡張ヘッダが壊れています");
        std::vector<uint8_t> element(size);
        if (!read(pos, element.data(), size)) return bad(problem, "ヘッダが途中で切れています");
        applyExtension(element[0], &element[1], size - 3, 0, entry, ext);
        extBytes += size;
        pos += size;
        size = u16(&element[size - 2]);
    }
    entry.compressedSize = skipSize - extBytes;
    entry.storedPath = joinPath(ext.folder, ext.hasName ? ext.name : baseName);
    if (ext.hasUnixTime) takeUnixTime(entry, ext.unixTime);
    entry.dataOffset = pos;
    return LzhHeaderParser::Outcome::Entry;
}

// Walks the extension chain of a level-2 or level-3 header held whole in `buf`.
bool walkHeader(const std::vector<uint8_t>& buf, bool level3, LzhEntry& entry, Extensions& ext,
                std::string& problem, size_t& chainEnd) {
    uint32_t first = level3 ? u32(&buf[28]) : u16(&buf[24]);
    return walkInBuffer(buf, level3 ? 32 : 26, first, level3 ? 4 : 2, entry, ext, problem, chainEnd);
}

// An OS-9/68k archiver states a level-2 header's length without the two bytes of
// the length field itself, so the extension chain runs two bytes past it. Such a
// header is taken at the longer length when its chain then ends exactly there and
// its header CRC (when it has one) holds.
bool retryTwoBytesLonger(const LzhHeaderParser::ReadAt& read, uint64_t offset, std::vector<uint8_t>& buf,
                         LzhEntry& entry, Extensions& ext) {
    std::vector<uint8_t> longer(buf.size() + 2);
    if (!read(offset, longer.data(), longer.size())) return false;
    LzhEntry tried = entry;
    Extensions triedExt;
    std::string problem;
    size_t chainEnd = 0;
    if (!walkHeader(longer, false, tried, triedExt, problem, chainEnd) || chainEnd != longer.size() ||
        !headerCrcOk(longer, triedExt))
        return false;
    buf = std::move(longer);
    entry = std::move(tried);
    ext = std::move(triedExt);
    return true;
}

// Levels 2 and 3 share their layout but for the width of the size fields.
LzhHeaderParser::Outcome parseLevel2or3(const LzhHeaderParser::ReadAt& read, uint64_t offset,
                                        const uint8_t* b, LzhEntry& entry, std::string& problem) {
    bool level3 = b[20] == 3;
    size_t baseSize = level3 ? 32 : 26;
    size_t total;
    if (level3) {
        uint8_t more[10];
        if (u16(b) != 4 || !read(offset + 22, more, 10)) return bad(problem, "ヘッダが壊れています");
        total = u32(more + 2);
        if (total > LzhHeaderParser::MaxLevel3Header) return bad(problem, "ヘッダの長さが不正です");
    } else {
        total = u16(b);
    }
    if (total < baseSize) return bad(problem, "ヘッダの長さが不正です");
    std::vector<uint8_t> buf(total);
    if (!read(offset, buf.data(), total)) return bad(problem, "ヘッダが途中で切れています");
    fillCommon(buf.data(), entry);
    entry.mtime = static_cast<time_t>(u32(&buf[15]));
    entry.dosTime = arc::DosTime::fromTimeT(entry.mtime);
    entry.crc = u16(&buf[21]);
    entry.osId = buf[23];
    Extensions ext;
    LzhEntry before = entry;
    size_t chainEnd = 0;
    if (!walkHeader(buf, level3, entry, ext, problem, chainEnd)) {
        entry = std::move(before);
        if (level3 || !retryTwoBytesLonger(read, offset, buf, entry, ext)) return LzhHeaderParser::Outcome::Bad;
        problem.clear();
    }
    if (!headerCrcOk(buf, ext)) return bad(problem, "ヘッダの CRC が一致しません");
    if (ext.hasSizes64) {
        entry.compressedSize = ext.compressed64;
        entry.originalSize = ext.original64;
    }
    entry.storedPath = joinPath(ext.folder, ext.name);
    entry.dataOffset = offset + buf.size();
    return LzhHeaderParser::Outcome::Entry;
}

bool isMethodId(const uint8_t* m) {
    if (m[0] != '-' || m[4] != '-') return false;
    return (m[1] == 'l' && (m[2] == 'h' || m[2] == 'z')) || (m[1] == 'p' && m[2] == 'm');
}

}  // namespace

bool LzhHeaderParser::looksLikeHeader(const uint8_t* header) {
    return isMethodId(header + 2) && header[20] <= 3;
}

void LzhHeaderParser::decodeName(LzhEntry& entry) {
    // Decode first: a CP932 trail byte may be 0x5C and must stay part of its character.
    std::string name;
    if (entry.codePage == 932) {
        auto converted = arc::NameEncoding::cp932ToUtf8(entry.storedPath);
        name = converted ? *converted : arc::NameEncoding::toUtf8(entry.storedPath);
    } else {
        name = arc::NameEncoding::toUtf8(entry.storedPath);
    }
    for (char& c : name)
        if (c == '\\') c = '/';
    bool folderMethod = entry.method == "-lhd-";
    size_t bar = name.find('|');
    bool unixLink = entry.hasUnixMode && S_ISLNK(entry.unixMode);
    if (folderMethod && bar != std::string::npos && (unixLink || !entry.hasUnixMode)) {
        entry.isSymlink = true;
        entry.linkTarget = name.substr(bar + 1);
        name.resize(bar);
    } else {
        entry.isDirectory = folderMethod;
    }
    while (!name.empty() && name.back() == '/') name.pop_back();
    entry.name = name;
}

LzhHeaderParser::Outcome LzhHeaderParser::parse(const ReadAt& read, uint64_t offset, uint64_t end,
                                                LzhEntry& entry, std::string& problem) {
    entry = LzhEntry{};
    entry.headerOffset = offset;
    uint8_t first = 0;
    if (offset >= end || !read(offset, &first, 1) || first == 0) return Outcome::End;
    uint8_t b[22];
    if (end - offset < sizeof b || !read(offset, b, sizeof b)) return bad(problem, "ヘッダが途中で切れています");
    if (!isMethodId(b + 2)) return bad(problem, "LZH のヘッダではありません");
    Outcome outcome;
    switch (b[20]) {
        case 0: outcome = parseLevel0(read, offset, b, entry, problem); break;
        case 1: outcome = parseLevel1(read, offset, end, b, entry, problem); break;
        case 2:
        case 3: outcome = parseLevel2or3(read, offset, b, entry, problem); break;
        default: return bad(problem, "未対応のヘッダレベルです");
    }
    if (outcome != Outcome::Entry) return outcome;
    decodeName(entry);
    if (entry.dataOffset > end || entry.compressedSize > end - entry.dataOffset) {
        problem = "書庫が途中で切れています";
        return Outcome::Truncated;
    }
    return Outcome::Entry;
}

}  // namespace kestrel::lzh
