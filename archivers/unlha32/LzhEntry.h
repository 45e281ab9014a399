// One entry of an LZH archive as read from (or about to be written to) its header.
#ifndef KESTREL_LZH_ENTRY_H
#define KESTREL_LZH_ENTRY_H

#include <cstdint>
#include <ctime>
#include <string>

#include "DosTime.h"

namespace kestrel::lzh {

struct LzhEntry {
    // Where it lies in the archive file.
    uint64_t headerOffset = 0;
    uint64_t dataOffset = 0;  // = headerOffset + the header's full length
    uint64_t compressedSize = 0;
    uint64_t originalSize = 0;

    std::string method;  // "-lh5-", "-lhd-" ...
    uint16_t crc = 0;
    uint8_t level = 2;
    uint8_t osId = 'U';

    uint8_t dosAttributes = 0x20;  // 0x20 when the header does not store any
    bool hasDosAttributes = false;
    arc::DosDateTime dosTime;  // local date and time for listings
    time_t mtime = 0;

    bool hasUnixMode = false;
    uint16_t unixMode = 0;  // with the file-type bits when the writer stored them
    bool hasUidGid = false;
    uint16_t uid = 0;
    uint16_t gid = 0;

    uint32_t codePage = 0;  // from the header when it says (932, 65001), else 0

    // The stored bytes of the path, folder parts joined with '/'.
    std::string storedPath;
    // The path as UTF-8 with '/' separators, without a trailing '/'.
    std::string name;
    bool isDirectory = false;
    bool isSymlink = false;
    std::string linkTarget;  // UTF-8, for symbolic links

    bool isStored() const { return method == "-lh0-" || method == "-lz4-"; }
    // The name shown in listings: folders end with '/'.
    std::string displayName() const { return isDirectory ? name + "/" : name; }
    uint64_t rawLength() const { return dataOffset - headerOffset + compressedSize; }
};

}  // namespace kestrel::lzh

#endif
