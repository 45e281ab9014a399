// Progress of a command that rewrites an archive (delete, rename, a partial
// self-extracting program): the bytes of the entries copied, over all of them.
#ifndef KESTREL_LZH_COPY_PROGRESS_H
#define KESTREL_LZH_COPY_PROGRESS_H

#include <string>

#include "CommandContext.h"
#include "CommandProgress.h"
#include "LzhArchiveWriter.h"

namespace kestrel::lzh {

class CopyProgress {
public:
    // `total` is the sum of rawLength() of every entry that will be copied.
    CopyProgress(const arc::Host& host, LzhArchiveWriter& writer, uint64_t total)
        : progress_(host, total), writer_(writer) {
        writer_.onCopied([this](uint64_t copied) { return progress_.report(name_, copied); });
    }
    ~CopyProgress() { writer_.onCopied(nullptr); }
    CopyProgress(const CopyProgress&) = delete;
    CopyProgress& operator=(const CopyProgress&) = delete;

    bool copy(const LzhArchive& source, const LzhEntry& entry) {
        name_ = entry.name;
        return writer_.copyEntry(source, entry);
    }
    bool copyAs(const LzhArchive& source, const LzhEntry& entry, const LzhEntry& header) {
        name_ = entry.name;
        return writer_.copyEntryAs(source, entry, header);
    }

    // The failure of a copy: cancelled by the user, or `path` could not be written.
    int fail(CommandContext& ctx, const std::string& path) const {
        if (writer_.cancelled()) return ctx.fail(KA_ERR_CANCELLED, "中止しました");
        return ctx.fail(KA_ERR_WRITE, path + ": 書き込めません");
    }

private:
    arc::CommandProgress progress_;
    LzhArchiveWriter& writer_;
    std::string name_;
};

}  // namespace kestrel::lzh

#endif
