#include "ZipEntryTime.h"

#include <zip.h>

#include <initializer_list>

namespace kestrel::zip {

namespace {

constexpr zip_uint16_t kTimestampField = 0x5455;
constexpr zip_uint16_t kNtfsField = 0x000a;

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

// The Info-ZIP extended timestamp: flags, then the modification time in UTC seconds.
bool ZipEntryTime::fromTimestampField(const uint8_t* data, uint16_t length, time_t& mtime) {
    if (data == nullptr || length < 5 || (data[0] & 1) == 0)
        return false;
    mtime = static_cast<time_t>(static_cast<int32_t>(le32(data + 1)));
    return true;
}

// The NTFS field (7-Zip, WinRAR): four reserved bytes, then tagged attributes; tag 1
// holds the modification, access and creation FILETIMEs (100 ns since 1601).
bool ZipEntryTime::fromNtfsField(const uint8_t* data, uint16_t length, time_t& mtime) {
    constexpr uint64_t kTicksPerSecond = 10000000;
    constexpr uint64_t kEpochDifference = 11644473600;  // seconds from 1601 to 1970
    size_t at = 4;
    while (data != nullptr && at + 4 <= length) {
        const unsigned tag = data[at] | data[at + 1] << 8;
        const unsigned size = data[at + 2] | data[at + 3] << 8;
        at += 4;
        if (at + size > length)
            return false;
        if (tag == 1 && size >= 8) {
            const uint64_t ticks = le32(data + at) | static_cast<uint64_t>(le32(data + at + 4)) << 32;
            if (ticks / kTicksPerSecond < kEpochDifference)
                return false;
            mtime = static_cast<time_t>(ticks / kTicksPerSecond - kEpochDifference);
            return true;
        }
        at += size;
    }
    return false;
}

time_t ZipEntryTime::of(struct zip* archive, uint64_t index, time_t dosTime) {
    for (zip_flags_t where : {ZIP_FL_LOCAL, ZIP_FL_CENTRAL}) {
        zip_uint16_t length = 0;
        time_t mtime = 0;
        const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive, index, kTimestampField, 0, &length, where);
        if (fromTimestampField(data, length, mtime))
            return mtime;
        data = zip_file_extra_field_get_by_id(archive, index, kNtfsField, 0, &length, where);
        if (fromNtfsField(data, length, mtime))
            return mtime;
    }
    return dosTime;
}

}  // namespace kestrel::zip
