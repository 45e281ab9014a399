#include "LzhSfxCommand.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveOpener.h"
#include "CopyProgress.h"
#include "EntrySelector.h"
#include "LzhArchiveWriter.h"
#include "SafePath.h"
#include "ScratchPath.h"
#include "SfxTrailer.h"

namespace kestrel::lzh {

namespace {

// The stub is installed next to this library.
std::string stubPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&stubPath), &info) && info.dli_fname) {
        std::string self = info.dli_fname;
        size_t slash = self.rfind('/');
        if (slash != std::string::npos) return self.substr(0, slash) + "/kestrel-sfx";
    }
    return "kestrel-sfx";
}

std::string stem(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

uint32_t flagsOf(const arc::CommandLine& line) {
    uint32_t flags = 0;
    if (line.hasOption("-x1")) flags |= KESTREL_SFX_KEEP_FOLDERS;
    if (line.hasOption("-a1")) flags |= KESTREL_SFX_RESTORE_MODES;
    if (line.hasOption("-m0")) flags |= KESTREL_SFX_QUIET;
    return flags;
}

}  // namespace

int LzhSfxCommand::run(const arc::CommandLine& line, CommandContext& ctx) {
    const auto& raw = line.arguments();
    if (raw.size() < 2) return ctx.fail(KA_ERR_USAGE, "書庫と作成先フォルダを指定してください");
    std::vector<std::string> patterns;
    std::string error;
    if (!line.expandedArguments(2, patterns, &error)) return ctx.fail(KA_ERR_OPEN, error);
    if (patterns.empty()) patterns.push_back("*.*");

    LzhArchive archive;
    if (archive.open(raw[0]) != LzhArchive::Status::Ok) {
        LzhArchive again;
        ArchiveOpener::forEditing(raw[0], again, ctx);  // the right code and message
        return ctx.result();
    }
    std::vector<std::string> unmatched;
    auto chosen = EntrySelector::select(archive.entries(), patterns, unmatched);
    for (const std::string& u : unmatched) ctx.fail(KA_WARN_SKIPPED, u + ": 書庫にありません");
    if (chosen.empty()) return ctx.fail(KA_ERR_NO_MATCH, "自己解凍書庫にするエントリがありません");

    std::string folder = arc::SafePath::folder(raw[1]);
    std::string output = (folder == "/" ? "" : folder) + "/" + stem(raw[0]) + ".run";
    struct stat st;
    if (lstat(output.c_str(), &st) == 0) {
        auto answer = ctx.host.askOverwrite(output);
        if (answer == arc::Host::Overwrite::Cancel) return ctx.fail(KA_ERR_CANCELLED, "中止しました");
        if (answer == arc::Host::Overwrite::Keep) return ctx.fail(KA_WARN_SKIPPED, output + ": 既存のファイルを残しました");
    }

    // Every entry: the archive's own bytes. Some: a new archive of just those.
    std::string payload = raw[0];
    uint64_t offset = archive.start(), length = archive.end() - archive.start();
    arc::ScratchPath temp(folder, arc::ScratchPath::Kind::File);
    if (chosen.size() != archive.entries().size()) {
        if (temp.path().empty()) return ctx.fail(KA_ERR_WRITE, folder + ": 書き込めません");
        LzhArchiveWriter writer(temp.path());
        if (!writer.open()) return ctx.fail(KA_ERR_WRITE, folder + ": 書き込めません");
        uint64_t total = 0;
        for (size_t i : chosen) total += archive.entries()[i].rawLength();
        CopyProgress progress(ctx.host, writer, total);
        for (size_t i : chosen)
            if (!progress.copy(archive, archive.entries()[i])) return progress.fail(ctx, folder);
        if (!writer.finish()) return ctx.fail(KA_ERR_WRITE, folder + ": 書き込めません");
        payload = temp.path();
        offset = 0;
        if (stat(payload.c_str(), &st) != 0) return ctx.fail(KA_ERR_WRITE, folder + ": 書き込めません");
        length = static_cast<uint64_t>(st.st_size);
    }
    // The program is written in one step: when no copy reported on the way, the
    // bar shows its start and its end.
    const bool copied = payload != raw[0];
    arc::CommandProgress written(ctx.host, length);
    if (!copied && !written.report(output, 0)) return ctx.fail(KA_ERR_CANCELLED, "中止しました");
    char why[512] = "";
    if (!kestrel_sfx_write(stubPath().c_str(), output.c_str(), payload.c_str(), offset, length,
                           KESTREL_SFX_LZH, flagsOf(line), why, sizeof why))
        return ctx.fail(KA_ERR_WRITE, why);
    if (!copied) written.report(output, length);
    ctx.line(output + ": " + std::to_string(chosen.size()) + " 個のエントリで作成しました");
    return ctx.result();
}

}  // namespace kestrel::lzh
