#include "LzhDeleteCommand.h"

#include "ArchiveOpener.h"
#include "CopyProgress.h"
#include "EntrySelector.h"
#include "LzhArchiveWriter.h"

namespace kestrel::lzh {

int LzhDeleteCommand::run(const arc::CommandLine& line, CommandContext& ctx) {
    const auto& raw = line.arguments();
    if (raw.size() < 2) return ctx.fail(KA_ERR_USAGE, "書庫と削除するエントリを指定してください");
    std::vector<std::string> patterns;
    std::string error;
    if (!line.expandedArguments(1, patterns, &error)) return ctx.fail(KA_ERR_OPEN, error);

    LzhArchive archive;
    if (!ArchiveOpener::forEditing(raw[0], archive, ctx)) return ctx.result();
    std::vector<std::string> unmatched;
    auto chosen = EntrySelector::select(archive.entries(), patterns, unmatched);
    for (const std::string& u : unmatched) ctx.fail(KA_WARN_SKIPPED, u + ": 書庫にありません");
    if (chosen.empty()) return ctx.fail(KA_ERR_NO_MATCH, "削除するエントリがありません");

    std::vector<bool> drop(archive.entries().size(), false);
    for (size_t i : chosen) drop[i] = true;
    LzhArchiveWriter writer(raw[0]);
    if (!writer.open()) return ctx.fail(KA_ERR_WRITE, raw[0] + ": 書き込めません");
    uint64_t total = 0;
    for (size_t i = 0; i < archive.entries().size(); ++i)
        if (!drop[i]) total += archive.entries()[i].rawLength();
    CopyProgress progress(ctx.host, writer, total);
    for (size_t i = 0; i < archive.entries().size(); ++i) {
        const LzhEntry& entry = archive.entries()[i];
        if (drop[i]) {
            ctx.line("削除: " + entry.displayName());
        } else if (!progress.copy(archive, entry)) {
            return progress.fail(ctx, raw[0]);
        }
    }
    if (!writer.finish()) return ctx.fail(KA_ERR_WRITE, raw[0] + ": 書き込めません");
    return ctx.result();
}

}  // namespace kestrel::lzh
