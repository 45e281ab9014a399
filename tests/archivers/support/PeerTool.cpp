#include "PeerTool.h"

#include <cstdlib>

namespace kestrel::test {

bool haveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace kestrel::test
