// One entry of a ZIP archive as the library sees it: everything listing and
// extraction need, read once from the central directory.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace kestrel::zip {

struct ZipEntry {
    uint64_t index = 0;          // libzip's index (central-directory order)
    std::string name;            // UTF-8, as shown to the user and matched against
    std::string rawName;         // the bytes stored in the archive
    uint64_t size = 0;           // declared uncompressed size (never trusted for writing)
    uint64_t compressedSize = 0;
    uint32_t crc = 0;
    bool crcKnown = false;       // false where the format leaves the CRC out (WinZip AE-2)
    time_t mtime = 0;            // from the extended timestamp or NTFS field, else the DOS fields read as local time
    uint16_t method = 0;         // ZIP compression method number
    uint16_t encryption = 0;     // ZIP_EM_* (0 = not encrypted)
    uint8_t madeBy = 0;          // "version made by" host system (ZIP_OPSYS_*)
    uint32_t externalAttributes = 0;

    bool encrypted() const { return encryption != 0; }
    bool isFolder() const;
    bool isSymlink() const;
    // The Unix st_mode when the archive was made on a Unix-like system, else 0.
    uint32_t unixMode() const;
    // The MS-DOS attribute byte (read-only, hidden, system, folder, archive bits).
    uint8_t dosAttributes() const;
};

}  // namespace kestrel::zip
