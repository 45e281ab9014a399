#include "LzhExtractCommand.h"

#include "ArchiveOpener.h"
#include "CommandProgress.h"
#include "EntrySelector.h"
#include "LzhExtractor.h"

namespace kestrel::lzh {

namespace {

void noteSummary(const LzhExtractor::Summary& s, CommandContext& ctx) {
    if (s.cancelled) ctx.note(KA_ERR_CANCELLED);
    if (s.writeErrors) ctx.note(KA_ERR_WRITE);
    if (s.damaged) ctx.note(KA_ERR_DAMAGED);
    if (s.unsupported) ctx.note(KA_ERR_UNSUPPORTED);
    if (s.unsafe || s.keptExisting) ctx.note(KA_WARN_SKIPPED);
}

}  // namespace

int LzhExtractCommand::run(const arc::CommandLine& line, CommandContext& ctx, bool keepFolders) {
    const auto& raw = line.arguments();
    if (raw.size() < 2) return ctx.fail(KA_ERR_USAGE, "書庫と展開先を指定してください");
    std::vector<std::string> patterns;
    std::string error;
    if (!line.expandedArguments(2, patterns, &error)) return ctx.fail(KA_ERR_OPEN, error);
    if (patterns.empty()) patterns.push_back("*.*");

    LzhArchive archive;
    if (!ArchiveOpener::forReading(raw[0], archive, ctx)) return ctx.result();
    std::vector<std::string> unmatched;
    auto chosen = EntrySelector::select(archive.entries(), patterns, unmatched);
    for (const std::string& u : unmatched) ctx.fail(KA_WARN_SKIPPED, u + ": 書庫にありません");
    if (chosen.empty() && !unmatched.empty()) return ctx.fail(KA_ERR_NO_MATCH, "展開するファイルがありません");

    LzhExtractor::Options options;
    options.keepFolders = keepFolders;
    options.restoreModes = line.hasOption("-a1");
    // -m0 leaves out the closing count only: what went wrong is always reported,
    // and progress always goes to the host.
    const bool quiet = line.hasOption("-m0");
    uint64_t total = 0;
    for (size_t i : chosen) total += archive.entries()[i].originalSize;
    arc::CommandProgress progress(ctx.host, total);
    LzhExtractor extractor(
        archive, raw[1], options, [&](const std::string& path) { return ctx.host.askOverwrite(path); },
        [&](const std::string& text) { ctx.line(text); },
        [&](const std::string& name, uint64_t done, uint64_t) { return progress.report(name, done); });
    for (size_t i : chosen) {
        if (!extractor.extract(archive.entries()[i])) break;
        progress.next(archive.entries()[i].originalSize);
    }
    extractor.finish();
    noteSummary(extractor.summary(), ctx);
    if (!quiet) ctx.line(std::to_string(extractor.summary().extracted) + " 個を展開しました");
    return ctx.result();
}

}  // namespace kestrel::lzh
