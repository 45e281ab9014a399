// Where a ZIP archive begins inside a file that holds other data in front of it (a
// self-extracting program, padding): the end record's offsets count from the
// archive's own first byte, so the distance between where the central directory
// is found and where the record says it is gives the start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel::zip {

class ZipArchiveStart {
public:
    // The offset of the archive's first byte in the file at `path`, when the end
    // record shows data in front of it; nothing when it starts at 0 or no
    // consistent end record is found.
    static std::optional<uint64_t> find(const std::string& path);
};

}  // namespace kestrel::zip
