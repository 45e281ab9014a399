#include "LzhHeaderWriter.h"

#include <algorithm>
#include <string>

#include "Crc16.h"
#include "NameEncoding.h"

namespace kestrel::lzh {

namespace {

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Extension {
    uint8_t type;
    std::string data;
};

std::string le16(uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

}  // namespace

std::optional<std::vector<uint8_t>> LzhHeaderWriter::level2(const LzhEntry& entry) {
    if (entry.compressedSize > 0xFFFFFFFFu || entry.originalSize > 0xFFFFFFFFu) return std::nullopt;
    std::string folder, name;
    const std::string& path = entry.storedPath;
    if (entry.isDirectory) {
        folder = path;
    } else {
        size_t slash = path.rfind('/');
        // A symbolic link's target ("name|../x") may hold '/': split before the bar.
        size_t bar = entry.isSymlink ? path.find('|') : std::string::npos;
        if (bar != std::string::npos) slash = path.rfind('/', bar);
        if (slash != std::string::npos) {
            folder = path.substr(0, slash);
            name = path.substr(slash + 1);
        } else {
            name = path;
        }
    }
    std::string folderData;
    for (char c : folder) folderData += c == '/' ? '\xFF' : c;
    if (!folderData.empty() && folderData.back() != '\xFF') folderData += '\xFF';

    std::vector<Extension> exts;
    exts.push_back({0x00, std::string(2, '\0')});
    exts.push_back({0x01, name});
    if (!folderData.empty()) exts.push_back({0x02, folderData});
    if (entry.hasDosAttributes) exts.push_back({0x40, le16(entry.dosAttributes)});
    if (entry.hasUnixMode) exts.push_back({0x50, le16(entry.unixMode)});
    if (entry.hasUidGid) exts.push_back({0x51, le16(entry.gid) + le16(entry.uid)});
    // Say which code page a non-ASCII name is in, for readers that look (libarchive).
    if (!arc::NameEncoding::isAscii(path)) {
        uint32_t cp = arc::NameEncoding::isValidUtf8(path) ? 65001 : 932;
        exts.push_back({0x46, le16(static_cast<uint16_t>(cp)) + le16(static_cast<uint16_t>(cp >> 16))});
    }

    size_t total = 26;
    for (const Extension& e : exts) total += 3 + e.data.size();
    if ((total & 0xFF) == 0) {
        exts[0].data += '\0';
        ++total;
    }
    if (total > 0xFFFF) return std::nullopt;

    std::vector<uint8_t> h(total, 0);
    put16(h, 0, static_cast<uint16_t>(total));
    for (int i = 0; i < 5; ++i) h[2 + i] = i < static_cast<int>(entry.method.size()) ? entry.method[i] : '-';
    put32(h, 7, static_cast<uint32_t>(entry.compressedSize));
    put32(h, 11, static_cast<uint32_t>(entry.originalSize));
    // The field is 32-bit: a time past 2106 is kept at its end rather than wrapped
    // round to a date decades earlier.
    const time_t lastTime = static_cast<time_t>(0xFFFFFFFFu);
    put32(h, 15, static_cast<uint32_t>(entry.mtime < 0 ? 0 : std::min(entry.mtime, lastTime)));
    h[19] = 0x20;  // strict readers refuse anything else here
    h[20] = 2;
    put16(h, 21, entry.crc);
    h[23] = entry.osId;
    size_t pos = 24;
    for (const Extension& e : exts) {
        put16(h, pos, static_cast<uint16_t>(3 + e.data.size()));  // size of the next record
        pos += 2;
        h[pos++] = e.type;
        for (char c : e.data) h[pos++] = static_cast<uint8_t>(c);
    }
    put16(h, pos, 0);  // the chain ends
    // The header CRC covers the whole header with its own field still zero.
    put16(h, 27, Crc16::of(h.data(), h.size()));
    return h;
}

}  // namespace kestrel::lzh
