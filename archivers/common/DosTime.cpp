#include "DosTime.h"

#include <algorithm>

namespace kestrel::arc {

DosDateTime DosTime::fromTimeT(time_t t) {
    struct tm local {};
    if (!localtime_r(&t, &local)) return DosDateTime{(0 << 9) | (1 << 5) | 1, 0};
    int year = local.tm_year + 1900;
    if (year < 1980) return DosDateTime{static_cast<uint16_t>((1 << 5) | 1), 0};
    if (year > 2107)
        return DosDateTime{static_cast<uint16_t>((127 << 9) | (12 << 5) | 31),
                           static_cast<uint16_t>((23 << 11) | (59 << 5) | 29)};
    DosDateTime dos;
    dos.date = static_cast<uint16_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    dos.time = static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return dos;
}

time_t DosTime::toTimeT(DosDateTime dos) {
    struct tm local {};
    local.tm_year = 80 + (dos.date >> 9);
    local.tm_mon = std::clamp((dos.date >> 5) & 0x0F, 1, 12) - 1;
    local.tm_mday = std::clamp(dos.date & 0x1F, 1, 31);
    local.tm_hour = std::min(dos.time >> 11, 23);
    local.tm_min = std::min((dos.time >> 5) & 0x3F, 59);
    local.tm_sec = std::min((dos.time & 0x1F) * 2, 59);
    local.tm_isdst = -1;
    return mktime(&local);
}

}  // namespace kestrel::arc
