// The C entry points of libunlha32.
//
// Commands (the first word of the line) and what their options mean:
//
//   a [-x1] [-r2] [-a2] [-jm2|-jm3|-jm4] "ARCHIVE" ["BASE/"] "TARGET"... | "@LIST"
//       Create ARCHIVE or add to it; an entry with the same stored name is
//       replaced where it stands. A target is a file, or a folder followed by a
//       wildcard ("docs/*.*": its files; with -r2 also docs itself and everything
//       below it). Relative targets are taken from BASE.
//       -x1  store each path relative to BASE (no BASE: the full path without '/')
//            instead of the bare file name
//       -r2  descend into folders, storing them as -lhd- entries
//       -a2  store DOS attribute bits and Unix permissions
//       -jm2 / -jm3 / -jm4  compress with -lh5- / -lh6- / -lh7- (default -lh5-)
//       Entries that would not get smaller are stored as -lh0-.
//   x [-a1] [-m0] [-x1] "ARCHIVE" "DEST/" ["*.*" | "ENTRY"... | "@LIST"]
//       Extract into DEST with the stored folders (-x1 changes nothing here).
//       A name that some entry carries exactly is taken literally, even with '*'
//       or '?' in it; otherwise it is a wildcard (also for e, d and s).
//   e [-a1] [-m0] "ARCHIVE" "DEST/" [...]
//       Extract every file straight into DEST, without the stored folders.
//       -a1  restore stored permissions (times are always restored)
//       -m0  no progress reports (the overwrite question is still asked)
//   d [-jyd-] "ARCHIVE" "ENTRY"... | "@LIST"
//       Delete entries. -jyd-: delete without asking (the library never asks).
//   n "ARCHIVE" "ENTRY"
//       Rename ENTRY to the name the host gives (askText; default the old name;
//       empty or cancel changes nothing). A folder's entries move with it.
//   s [-a1] [-m0] [-x1] [-gwj1] "ARCHIVE" "DEST/" ["*.*" | "ENTRY"... | "@LIST"]
//       Write DEST/<archive stem>.run, a self-extracting program with the chosen
//       entries. -x1 it extracts with folders, -a1 it restores permissions,
//       -m0 it reports only problems, -gwj1 (program for this desktop, Japanese
//       messages) is what it always is.
//
// Archives are rewritten through a temporary file renamed into place, so a failed
// a, d or n leaves the archive as it was.
#include <map>
#include <new>
#include <set>

#include "ArchiverApi.h"
#include "CommandContext.h"
#include "CommandLine.h"
#include "LzhAddCommand.h"
#include "LzhDeleteCommand.h"
#include "LzhExtractCommand.h"
#include "ListingHandles.h"
#include "LzhFinder.h"
#include "LzhRenameCommand.h"
#include "LzhSfxCommand.h"

using namespace kestrel;

namespace {

// The options each command knows; anything else is a mistake worth reporting
// rather than quietly doing something other than what was asked.
bool optionsKnown(const arc::CommandLine& line, lzh::CommandContext& ctx) {
    static const std::map<std::string, std::set<std::string>> known = {
        {"a", {"-x1", "-r2", "-a2", "-jm2", "-jm3", "-jm4"}},
        {"x", {"-a1", "-m0", "-x1"}},
        {"e", {"-a1", "-m0", "-x1"}},
        {"d", {"-jyd-"}},
        {"n", {}},
        {"s", {"-a1", "-m0", "-x1", "-gwj1"}},
    };
    auto it = known.find(line.command());
    if (it == known.end()) return true;  // the command itself is reported as unknown
    for (const std::string& option : line.options()) {
        if (!it->second.count(option)) {
            ctx.fail(KA_ERR_USAGE, "不明なオプションです: " + option);
            return false;
        }
    }
    return true;
}

int dispatch(const arc::CommandLine& line, lzh::CommandContext& ctx) {
    const std::string& command = line.command();
    if (!optionsKnown(line, ctx)) return ctx.result();
    if (command == "a") return lzh::LzhAddCommand::run(line, ctx);
    if (command == "x") return lzh::LzhExtractCommand::run(line, ctx, true);
    if (command == "e") return lzh::LzhExtractCommand::run(line, ctx, false);
    if (command == "d") return lzh::LzhDeleteCommand::run(line, ctx);
    if (command == "n") return lzh::LzhRenameCommand::run(line, ctx);
    if (command == "s") return lzh::LzhSfxCommand::run(line, ctx);
    return ctx.fail(KA_ERR_USAGE, "不明なコマンドです: " + command);
}

arc::ListingHandles<lzh::LzhFinder> handles;

}  // namespace

extern "C" __attribute__((visibility("default"))) int Unlha(void* window, const char* commandLine,
                                                            char* output, unsigned long outputSize) {
    lzh::CommandContext ctx(window, output, outputSize);
    try {
        if (!commandLine) return ctx.fail(KA_ERR_USAGE, "コマンドラインがありません");
        std::string error;
        auto line = arc::CommandLine::parse(commandLine, &error);
        if (!line) return ctx.fail(KA_ERR_USAGE, error);
        return dispatch(*line, ctx);
    } catch (const std::bad_alloc&) {
        return ctx.fail(KA_ERR_MEMORY, "メモリが足りません");
    } catch (...) {
        return ctx.fail(KA_ERR_DAMAGED, "予期しないエラーが起きました");
    }
}

extern "C" __attribute__((visibility("default"))) void* UnlhaOpenArchive(void*, const char* archivePath,
                                                                         unsigned long) {
    return handles.open(archivePath);
}

extern "C" __attribute__((visibility("default"))) int UnlhaFindFirst(void* archive, const char* wildName,
                                                                     EntryInfo* entry) {
    return handles.findFirst(archive, wildName, entry);
}

extern "C" __attribute__((visibility("default"))) int UnlhaFindNext(void* archive, EntryInfo* entry) {
    return handles.findNext(archive, entry);
}

extern "C" __attribute__((visibility("default"))) int UnlhaCloseArchive(void* archive) {
    return handles.close(archive);
}
