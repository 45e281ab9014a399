// The short method text of a ZIP entry for the listing record (at most 8 bytes).
#pragma once

#include <cstdint>
#include <string>

namespace kestrel::zip {

std::string methodText(uint16_t method);

// True when libzip on this system can decode the method.
bool methodSupported(uint16_t method);

}  // namespace kestrel::zip
