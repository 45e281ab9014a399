#include "browse/FormatFileTime.h"

#include <cstdio>
#include <ctime>

QString FormatFileTime(std::int64_t secondsSinceEpoch)
{
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local {};
    if (!::localtime_r(&t, &local))
        return {};
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    // Four digits are all the layout has room for.
    if (year < 0 || year > 9999)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04lld/%02d/%02d %02d:%02d:%02d", year, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text);
}
