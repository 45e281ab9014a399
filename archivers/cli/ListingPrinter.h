// Text of one listing row, as kestrel-arc --list prints it.
#pragma once

#include <string>

#include "../common/EntryInfo.h"

namespace kestrel::cli {

class ListingPrinter {
public:
    // "yyyy/mm/dd hh:mm:ss  ATTR  METHOD   RATIO  SIZE  NAME"
    static std::string row(const EntryInfo& entry);
    static std::string header();

    // Ratio in tenths of a percent as the viewer shows it: 523 -> "52.3%", 500 -> "50%".
    static std::string ratioText(int ratio);
    // The MS-DOS date and time as "yyyy/mm/dd hh:mm:ss".
    static std::string dateText(uint16_t dosDate, uint16_t dosTime);
    // A fixed-width text field of the record, up to its first NUL.
    static std::string field(const char* text, size_t width);
};

}  // namespace kestrel::cli
