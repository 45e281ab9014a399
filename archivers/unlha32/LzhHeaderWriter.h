// Building level-2 headers, the level every entry we write or rename gets.
#ifndef KESTREL_LZH_HEADER_WRITER_H
#define KESTREL_LZH_HEADER_WRITER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "LzhEntry.h"

namespace kestrel::lzh {

class LzhHeaderWriter {
public:
    // The header for `entry`: method, sizes, CRC, mtime, OS id and storedPath
    // ('/'-separated bytes; folders get an empty name and the path as folder),
    // plus DOS attributes, Unix mode and owner when the entry has them. Nothing when
    // a size does not fit in 32 bits or the header would exceed 64 KiB.
    //
    // The header always starts with its own CRC (strict readers require it) and its
    // total length never has a low byte of 0, which readers would take for the end
    // mark: the CRC record then grows by one byte, as tools that do not skip a
    // trailing pad byte still read that.
    static std::optional<std::vector<uint8_t>> level2(const LzhEntry& entry);
};

}  // namespace kestrel::lzh

#endif
