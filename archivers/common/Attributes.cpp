#include "Attributes.h"

#include <sys/stat.h>

namespace kestrel::arc {

std::string Attributes::text(uint8_t bits) {
    std::string s = "----";
    if (bits & ReadOnly) s[0] = 'R';
    if (bits & Hidden) s[1] = 'H';
    if (bits & System) s[2] = 'S';
    if (bits & Archive) s[3] = 'A';
    return s;
}

uint8_t Attributes::fromMode(mode_t mode, std::string_view name) {
    uint8_t bits = 0;
    if (!(mode & S_IWUSR)) bits |= ReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") bits |= Hidden;
    if (S_ISDIR(mode))
        bits |= Directory;
    else if (S_ISREG(mode))
        bits |= Archive;
    else
        bits |= System;
    return bits;
}

mode_t Attributes::toMode(uint8_t bits, bool directory) {
    // A read-only folder could not be filled with its own entries, so R only
    // applies to files.
    if (directory) return 0777;
    mode_t mode = 0666;
    if (bits & ReadOnly) mode &= ~static_cast<mode_t>(0222);
    return mode;
}

}  // namespace kestrel::arc
