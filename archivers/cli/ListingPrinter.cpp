#include "ListingPrinter.h"

#include <cstdio>
#include <cstring>

namespace kestrel::cli {

std::string ListingPrinter::field(const char* text, size_t width) {
    const void* nul = std::memchr(text, '\0', width);
    const size_t len = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : width;
    return std::string(text, len);
}

std::string ListingPrinter::ratioText(int ratio) {
    char text[32];
    const int whole = ratio / 10;
    const int tenth = ratio % 10 < 0 ? -(ratio % 10) : ratio % 10;
    if (tenth == 0)
        std::snprintf(text, sizeof text, "%d%%", whole);
    else
        std::snprintf(text, sizeof text, "%s%d.%d%%", ratio < 0 && whole == 0 ? "-" : "", whole,
                      tenth);
    return text;
}

std::string ListingPrinter::dateText(uint16_t dosDate, uint16_t dosTime) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u", 1980u + (dosDate >> 9),
                  (dosDate >> 5) & 0x0fu, dosDate & 0x1fu, dosTime >> 11, (dosTime >> 5) & 0x3fu,
                  (dosTime & 0x1fu) * 2u);
    return text;
}

std::string ListingPrinter::header() {
    return "Date       Time      Attr  Method    Ratio        Size  Name";
}

std::string ListingPrinter::row(const EntryInfo& entry) {
    char text[128];
    std::snprintf(text, sizeof text, "%s  %-4s  %-8s %6s %11lld  ",
                  dateText(entry.dosDate, entry.dosTime).c_str(),
                  field(entry.attribute, sizeof entry.attribute).c_str(),
                  field(entry.method, sizeof entry.method).c_str(), ratioText(entry.ratio).c_str(),
                  static_cast<long long>(EntryInfoSize(&entry)));
    return text + field(entry.name, sizeof entry.name);
}

}  // namespace kestrel::cli
