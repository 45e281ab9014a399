// "x" and "e": extract entries, with or without their stored folders.
#ifndef KESTREL_LZH_EXTRACT_COMMAND_H
#define KESTREL_LZH_EXTRACT_COMMAND_H

#include "CommandContext.h"
#include "CommandLine.h"

namespace kestrel::lzh {

class LzhExtractCommand {
public:
    static int run(const arc::CommandLine& line, CommandContext& ctx, bool keepFolders);
};

}  // namespace kestrel::lzh

#endif
