// MS-DOS attribute bits, their four-letter text, and how a Linux file maps onto them.
#ifndef KESTREL_ARC_ATTRIBUTES_H
#define KESTREL_ARC_ATTRIBUTES_H

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::arc {

class Attributes {
public:
    static constexpr uint8_t ReadOnly = 0x01;
    static constexpr uint8_t Hidden = 0x02;
    static constexpr uint8_t System = 0x04;
    static constexpr uint8_t Directory = 0x10;
    static constexpr uint8_t Archive = 0x20;

    // "RHSA" with '-' for each bit that is not set, e.g. "---A", "R---".
    static std::string text(uint8_t bits);

    // The bits for a file of `mode` named `name` (the last component): R when the
    // owner may not write it, H when the name starts with '.', S for a special file,
    // D for a folder, A for a regular file (as a freshly written file has on Windows).
    static uint8_t fromMode(mode_t mode, std::string_view name);

    // Permissions for a file extracted without stored Unix permissions: R makes it
    // read-only for everyone; otherwise the usual 0666 / 0777, before the umask.
    static mode_t toMode(uint8_t bits, bool directory);
};

}  // namespace kestrel::arc

#endif
