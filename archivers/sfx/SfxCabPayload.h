// Listing or extracting the cabinet carried by a self-extracting program, through
// cab32's own reader and extractor.
#ifndef KESTREL_SFX_CAB_PAYLOAD_H
#define KESTREL_SFX_CAB_PAYLOAD_H

#include <cstdint>
#include <string>

#include "SfxOptions.h"

namespace kestrel::sfx {

class SfxCabPayload {
public:
    // Returns the program's exit status: 0 all done, 1 something skipped, 2 errors.
    // The cabinet is found inside the program file, as cab32 finds it there.
    static int run(const std::string& program, uint32_t flags, const SfxOptions& options);
};

}  // namespace kestrel::sfx

#endif
