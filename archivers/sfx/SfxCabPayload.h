// Listing or extracting the cabinet carried by a self-extracting program, through
// libmspack reading straight from the program file.
#ifndef KESTREL_SFX_CAB_PAYLOAD_H
#define KESTREL_SFX_CAB_PAYLOAD_H

#include <cstdint>
#include <string>

#include "SfxOptions.h"

namespace kestrel::sfx {

class SfxCabPayload {
public:
    // Returns the program's exit status: 0 all done, 1 something skipped, 2 errors.
    static int run(const std::string& program, uint64_t offset, uint64_t length, uint32_t flags,
                   const SfxOptions& options);

    // A cabinet file name as UTF-8 with '/' separators. Names without the UTF-8
    // flag come from libmspack widened from single bytes; they are narrowed back
    // and read as CP932 when they are that.
    static std::string entryName(const char* name, bool utf8Flag);
};

}  // namespace kestrel::sfx

#endif
