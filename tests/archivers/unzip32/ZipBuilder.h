// Writes small ZIP archives byte by byte, so tests can make exactly the archive they
// need: odd names and encodings, chosen attributes, and lies in the headers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

struct ZipBuilderEntry {
    std::string name;             // stored bytes, as they go into the archive
    std::string data;             // the uncompressed content
    bool deflate = false;         // method 8 instead of 0
    bool utf8Flag = false;        // general-purpose bit 11
    uint8_t madeBy = 0;           // host system: 0 DOS, 3 Unix
    uint32_t externalAttributes = 0;
    uint16_t dosDate = 0x5A2F;    // 2025-01-15
    uint16_t dosTime = 0x6C83;    // 13:36:06
    std::string extra;            // extra fields, in both headers
    std::optional<uint16_t> method;  // another method number (data is stored as given)
    // Lies: what the headers declare instead of the truth.
    std::optional<uint32_t> declaredSize;
    std::optional<uint32_t> declaredCrc;
};

class ZipBuilder {
public:
    ZipBuilder& add(ZipBuilderEntry entry);
    // Convenience: a regular DOS-made file.
    ZipBuilder& file(const std::string& name, const std::string& data, bool deflate = false);
    // A Unix-made entry with `mode` (st_mode) in the external attributes.
    ZipBuilder& unixEntry(const std::string& name, const std::string& data, uint32_t mode);

    std::string bytes() const;
    // Writes the archive to `path`; returns the path.
    std::string write(const std::string& path) const;

    // Offset of the first byte of entry `index`'s data in bytes().
    size_t dataOffset(size_t index) const;

private:
    std::vector<ZipBuilderEntry> entries_;
};

std::string deflateRaw(const std::string& data);
uint32_t crc32Of(const std::string& data);

}  // namespace kestrel::test
