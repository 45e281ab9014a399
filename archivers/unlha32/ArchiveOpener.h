// Opening an archive for a command, with the result code and message each failure gets.
#ifndef KESTREL_LZH_ARCHIVE_OPENER_H
#define KESTREL_LZH_ARCHIVE_OPENER_H

#include <string>

#include "CommandContext.h"
#include "LzhArchive.h"

namespace kestrel::lzh {

class ArchiveOpener {
public:
    // For reading (x, e, s): a damaged archive is accepted with what could be read
    // (the damage is noted in ctx). Returns false when there is nothing to work on.
    static bool forReading(const std::string& path, LzhArchive& archive, CommandContext& ctx);
    // For rewriting (a, d, n): only a sound archive with nothing in front of it,
    // since a rewrite would otherwise lose what could not be read.
    static bool forEditing(const std::string& path, LzhArchive& archive, CommandContext& ctx);
};

}  // namespace kestrel::lzh

#endif
