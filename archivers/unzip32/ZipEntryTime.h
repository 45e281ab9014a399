// The true modification time of a ZIP entry. The DOS fields hold only a local time
// in two-second steps, in whatever zone the maker was; the Info-ZIP extended
// timestamp and the NTFS field hold UTC, and win where present.
#pragma once

#include <cstdint>
#include <ctime>

struct zip;

namespace kestrel::zip {

class ZipEntryTime {
public:
    // The time from the extra fields of entry `index` (local header first, then the
    // central one), or `dosTime` (the DOS fields as libzip read them) without them.
    static time_t of(struct zip* archive, uint64_t index, time_t dosTime);

private:
    static bool fromTimestampField(const uint8_t* data, uint16_t length, time_t& mtime);
    static bool fromNtfsField(const uint8_t* data, uint16_t length, time_t& mtime);
};

}  // namespace kestrel::zip
