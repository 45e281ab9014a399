#include "LzhRenameCommand.h"

#include "ArchiveOpener.h"
#include "CopyProgress.h"
#include "EntrySelector.h"
#include "LzhArchiveWriter.h"
#include "NameEncoding.h"
#include "SafePath.h"

namespace kestrel::lzh {

namespace {

// The entry's name after renaming `from` to `to`, or nothing when it is not
// `from` itself or inside the folder `from`.
std::optional<std::string> renamed(const std::string& name, const std::string& from, const std::string& to) {
    if (name == from) return to;
    if (name.size() > from.size() && name.compare(0, from.size(), from) == 0 && name[from.size()] == '/')
        return to + name.substr(from.size());
    return std::nullopt;
}

LzhEntry withName(const LzhEntry& entry, const std::string& name) {
    LzhEntry header = entry;
    header.name = name;
    header.storedPath = arc::NameEncoding::toStored(name);
    if (entry.isSymlink) header.storedPath += "|" + arc::NameEncoding::toStored(entry.linkTarget);
    // A level-0 or level-1 entry gets a level-2 header: keep what its old one said.
    header.hasDosAttributes = entry.hasDosAttributes || entry.level < 2;
    return header;
}

}  // namespace

int LzhRenameCommand::run(const arc::CommandLine& line, CommandContext& ctx) {
    const auto& raw = line.arguments();
    if (raw.size() != 2) return ctx.fail(KA_ERR_USAGE, "書庫と名前を変更するエントリを一つ指定してください");
    LzhArchive archive;
    if (!ArchiveOpener::forEditing(raw[0], archive, ctx)) return ctx.result();
    std::string from = EntrySelector::normalise(raw[1]);
    const LzhEntry* target = nullptr;
    for (const LzhEntry& e : archive.entries())
        if (e.name == from) target = &e;
    if (!target || from.empty()) return ctx.fail(KA_ERR_NO_MATCH, raw[1] + ": 書庫にありません");

    auto answer = ctx.host.askText("新しい名前を入力してください", target->displayName());
    if (!answer || answer->empty()) return ctx.fail(KA_ERR_CANCELLED, "名前の変更を中止しました");
    std::string to;
    auto problem = arc::SafePath::normalise(*answer, to);
    if (problem != arc::SafePath::Problem::None)
        return ctx.fail(KA_ERR_USAGE, *answer + ": " + arc::SafePath::describe(problem));
    if (to == from) return ctx.result();
    for (const LzhEntry& e : archive.entries())
        if (!renamed(e.name, from, to) && renamed(e.name, to, to))
            return ctx.fail(KA_ERR_USAGE, to + ": 同じ名前のエントリが既にあります");

    LzhArchiveWriter writer(raw[0]);
    if (!writer.open()) return ctx.fail(KA_ERR_WRITE, raw[0] + ": 書き込めません");
    uint64_t total = 0;
    for (const LzhEntry& e : archive.entries()) total += e.rawLength();
    CopyProgress progress(ctx.host, writer, total);
    for (const LzhEntry& e : archive.entries()) {
        auto name = target->isDirectory ? renamed(e.name, from, to) : (e.name == from ? std::optional(to) : std::nullopt);
        bool ok = name ? progress.copyAs(archive, e, withName(e, *name)) : progress.copy(archive, e);
        if (!ok) return progress.fail(ctx, raw[0]);
        if (name) ctx.line(e.displayName() + " -> " + *name + (e.isDirectory ? "/" : ""));
    }
    if (!writer.finish()) return ctx.fail(KA_ERR_WRITE, raw[0] + ": 書き込めません");
    return ctx.result();
}

}  // namespace kestrel::lzh
