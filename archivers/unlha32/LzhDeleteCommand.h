// "d": delete entries by rewriting the archive without them.
#ifndef KESTREL_LZH_DELETE_COMMAND_H
#define KESTREL_LZH_DELETE_COMMAND_H

#include "CommandContext.h"
#include "CommandLine.h"

namespace kestrel::lzh {

class LzhDeleteCommand {
public:
    static int run(const arc::CommandLine& line, CommandContext& ctx);
};

}  // namespace kestrel::lzh

#endif
