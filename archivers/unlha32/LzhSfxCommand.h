// "s": make a self-extracting program from chosen entries.
#ifndef KESTREL_LZH_SFX_COMMAND_H
#define KESTREL_LZH_SFX_COMMAND_H

#include "CommandContext.h"
#include "CommandLine.h"

namespace kestrel::lzh {

class LzhSfxCommand {
public:
    static int run(const arc::CommandLine& line, CommandContext& ctx);
};

}  // namespace kestrel::lzh

#endif
