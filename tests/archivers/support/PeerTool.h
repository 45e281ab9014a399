// The peer tools the interoperability tests compare against.
#pragma once

#include <string>

namespace kestrel::test {

// The tool is on PATH; tests that need a missing one skip.
bool haveTool(const std::string& name);

}  // namespace kestrel::test
