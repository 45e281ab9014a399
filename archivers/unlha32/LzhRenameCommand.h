// "n": rename one entry (a folder entry takes its contents along).
#ifndef KESTREL_LZH_RENAME_COMMAND_H
#define KESTREL_LZH_RENAME_COMMAND_H

#include "CommandContext.h"
#include "CommandLine.h"

namespace kestrel::lzh {

class LzhRenameCommand {
public:
    static int run(const arc::CommandLine& line, CommandContext& ctx);
};

}  // namespace kestrel::lzh

#endif
