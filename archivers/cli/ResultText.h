// Names of the archiver libraries' result codes, for people reading kestrel-arc output.
#pragma once

#include <string>

namespace kestrel::cli {

// "0x1001 KA_WARN_SKIPPED"; unknown codes are shown in hex alone.
std::string resultText(int result);
// 0 success, 1 warning, 2 error.
int exitStatus(int result);

}  // namespace kestrel::cli
