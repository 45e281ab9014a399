// "a": create an archive or add files to it.
#ifndef KESTREL_LZH_ADD_COMMAND_H
#define KESTREL_LZH_ADD_COMMAND_H

#include "CommandContext.h"
#include "CommandLine.h"

namespace kestrel::lzh {

class LzhAddCommand {
public:
    static int run(const arc::CommandLine& line, CommandContext& ctx);
};

}  // namespace kestrel::lzh

#endif
