// Listing or extracting the LZH archive carried by a self-extracting program.
#ifndef KESTREL_SFX_LZH_PAYLOAD_H
#define KESTREL_SFX_LZH_PAYLOAD_H

#include <cstdint>
#include <string>

#include "SfxOptions.h"

namespace kestrel::sfx {

class SfxLzhPayload {
public:
    // Returns the program's exit status: 0 all done, 1 something skipped, 2 errors.
    static int run(const std::string& program, uint64_t offset, uint64_t length, uint32_t flags,
                   const SfxOptions& options);
};

}  // namespace kestrel::sfx

#endif
