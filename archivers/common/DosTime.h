// MS-DOS date and time (local time, two-second steps, 1980 to 2107) and time_t.
#ifndef KESTREL_ARC_DOS_TIME_H
#define KESTREL_ARC_DOS_TIME_H

#include <cstdint>
#include <ctime>

namespace kestrel::arc {

struct DosDateTime {
    uint16_t date = 0;  // bits 15-9 year - 1980, 8-5 month, 4-0 day
    uint16_t time = 0;  // bits 15-11 hour, 10-5 minute, 4-0 second / 2
};

class DosTime {
public:
    // Local time of `t`, clamped to the range MS-DOS can hold (odd seconds round down).
    static DosDateTime fromTimeT(time_t t);
    // The time_t of a local MS-DOS date and time. Out-of-range fields (month 0,
    // hour 31) are clamped so that damaged headers still give a plausible time.
    static time_t toTimeT(DosDateTime dos);
    static time_t toTimeT(uint16_t date, uint16_t time) { return toTimeT(DosDateTime{date, time}); }
};

}  // namespace kestrel::arc

#endif
