#pragma once

#include <QString>

#include <cstdint>

// The modification-time text of the file list: local time as
// "yyyy/mm/dd hh:nn:ss" (2000/12/05 09:07:03), from seconds since 1970 in
// universal time. Empty when the time cannot be converted.
QString FormatFileTime(std::int64_t secondsSinceEpoch);
