#include "LzhAddCommand.h"

#include <sys/stat.h>

#include <map>
#include <memory>

#include "ArchiveOpener.h"
#include "CommandProgress.h"
#include "EntrySelector.h"
#include "LzhArchiveWriter.h"
#include "TargetList.h"

namespace kestrel::lzh {

namespace {

struct Plan {
    std::string archivePath;
    std::string base;
    std::vector<std::string> targets;
    arc::TargetList::Options walk;
    LzhArchiveWriter::AddOptions add;
};

// ARCHIVE ["BASE/"] TARGET... : a first argument ending in a separator, with more
// arguments after it, is the base folder.
bool readPlan(const arc::CommandLine& line, Plan& plan, CommandContext& ctx) {
    const std::vector<std::string>& raw = line.arguments();
    if (raw.size() < 2) {
        ctx.fail(KA_ERR_USAGE, "書庫と格納するファイルを指定してください");
        return false;
    }
    plan.archivePath = raw[0];
    size_t first = 1;
    if (raw.size() >= 3 && !raw[1].empty() && (raw[1].back() == '/' || raw[1].back() == '\\')) {
        plan.base = raw[1];
        first = 2;
    }
    // Only targets may be "@list" files; the archive and base are taken literally.
    std::string error;
    if (!line.expandedArguments(first, plan.targets, &error)) {
        ctx.fail(KA_ERR_OPEN, error);
        return false;
    }
    plan.walk.keepPaths = line.hasOption("-x1");
    plan.walk.recurse = line.hasOption("-r2");
    plan.add.storeAttributes = line.hasOption("-a2");
    if (line.hasOption("-jm3")) plan.add.method = LzhCompression::Lh6;
    if (line.hasOption("-jm4")) plan.add.method = LzhCompression::Lh7;
    return true;
}

uint64_t sizeOnDisk(const arc::Target& target) {
    struct stat st;
    return !target.isDirectory && stat(target.diskPath.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Drops the archive itself from the targets: adding it into itself would read
// the file being replaced.
void dropArchiveItself(const std::string& archivePath, std::vector<arc::Target>& targets) {
    struct stat self;
    if (stat(archivePath.c_str(), &self) != 0) return;
    std::erase_if(targets, [&](const arc::Target& t) {
        struct stat st;
        return !t.isDirectory && stat(t.diskPath.c_str(), &st) == 0 && st.st_dev == self.st_dev &&
               st.st_ino == self.st_ino;
    });
}

const char* describeFailure(LzhArchiveWriter::AddResult r) {
    switch (r) {
        case LzhArchiveWriter::AddResult::ReadError: return "読めません";
        case LzhArchiveWriter::AddResult::TooLarge: return "4 GiB 以上のファイルは格納できません";
        case LzhArchiveWriter::AddResult::WriteError: return "書庫に書き込めません";
        case LzhArchiveWriter::AddResult::Cancelled: return "中止しました";
        case LzhArchiveWriter::AddResult::Ok: return "";
    }
    return "";
}

class Adder {
public:
    Adder(const Plan& plan, CommandContext& ctx, LzhArchiveWriter& writer, uint64_t total)
        : plan_(plan), ctx_(ctx), writer_(writer), progress_(ctx.host, total) {}

    // Adds one target; `previous` is the entry it replaces, kept when the file
    // cannot be read. False stops the whole command (nothing is written then).
    bool add(const arc::Target& target, const LzhArchive* source, const LzhEntry* previous) {
        if (target.isDirectory) {
            if (!writer_.addDirectory(target, plan_.add)) {
                ctx_.fail(KA_ERR_WRITE, target.storedName + "/: 書庫に書き込めません");
                return false;
            }
            ctx_.line(target.storedName + "/");
            return true;
        }
        auto r = writer_.addFile(target, plan_.add, [&](uint64_t done, uint64_t) {
            return progress_.report(target.storedName, done);
        });
        progress_.next(sizeOnDisk(target));
        if (r == LzhArchiveWriter::AddResult::Ok) {
            const LzhEntry& e = writer_.lastEntry();
            ctx_.line(target.storedName + "  " + std::to_string(e.originalSize) + " -> " +
                      std::to_string(e.compressedSize) + " " + e.method);
            ++added_;
            return true;
        }
        if (r == LzhArchiveWriter::AddResult::WriteError || r == LzhArchiveWriter::AddResult::Cancelled) {
            ctx_.fail(r == LzhArchiveWriter::AddResult::Cancelled ? KA_ERR_CANCELLED : KA_ERR_WRITE,
                      target.storedName + ": " + describeFailure(r));
            return false;
        }
        ctx_.fail(r == LzhArchiveWriter::AddResult::TooLarge ? KA_ERR_UNSUPPORTED : KA_ERR_OPEN,
                  target.diskPath + ": " + describeFailure(r));
        if (previous && !writer_.copyEntry(*source, *previous)) {
            ctx_.fail(KA_ERR_WRITE, "書庫に書き込めません");
            return false;
        }
        return true;
    }
    int added() const { return added_; }

private:
    const Plan& plan_;
    CommandContext& ctx_;
    LzhArchiveWriter& writer_;
    arc::CommandProgress progress_;
    int added_ = 0;
};

}  // namespace

int LzhAddCommand::run(const arc::CommandLine& line, CommandContext& ctx) {
    Plan plan;
    if (!readPlan(line, plan, ctx)) return ctx.result();

    std::vector<arc::Target> targets;
    std::vector<std::string> problems;
    arc::TargetList::expand(plan.base, plan.targets, plan.walk, targets, problems);
    for (const std::string& p : problems) ctx.fail(KA_WARN_SKIPPED, p);
    dropArchiveItself(plan.archivePath, targets);
    if (targets.empty()) return ctx.fail(KA_ERR_NO_MATCH, "格納するファイルがありません");

    // An existing archive is read first; an empty file counts as a new archive.
    std::unique_ptr<LzhArchive> existing;
    struct stat st;
    if (stat(plan.archivePath.c_str(), &st) == 0 && st.st_size > 0) {
        existing = std::make_unique<LzhArchive>();
        if (!ArchiveOpener::forEditing(plan.archivePath, *existing, ctx)) return ctx.result();
    }

    LzhArchiveWriter writer(plan.archivePath);
    if (!writer.open()) return ctx.fail(KA_ERR_WRITE, plan.archivePath + ": 書庫を作れません");
    uint64_t total = 0;
    for (const arc::Target& t : targets) total += sizeOnDisk(t);
    Adder adder(plan, ctx, writer, total);

    // Entries of the same name are replaced where they stand; the rest follow.
    std::map<std::string, size_t> byName;
    for (size_t i = 0; i < targets.size(); ++i) byName.emplace(targets[i].storedName, i);
    std::vector<bool> done(targets.size(), false);
    if (existing) {
        for (const LzhEntry& entry : existing->entries()) {
            auto it = byName.find(EntrySelector::normalise(entry.name));
            if (it == byName.end() || done[it->second]) {
                if (!writer.copyEntry(*existing, entry))
                    return ctx.fail(KA_ERR_WRITE, plan.archivePath + ": 書き込めません");
                continue;
            }
            done[it->second] = true;
            if (!adder.add(targets[it->second], existing.get(), &entry)) return ctx.result();
        }
    }
    for (size_t i = 0; i < targets.size(); ++i)
        if (!done[i] && !adder.add(targets[i], nullptr, nullptr)) return ctx.result();
    if (!writer.finish()) return ctx.fail(KA_ERR_WRITE, plan.archivePath + ": 書き込めません");
    ctx.line(std::to_string(adder.added()) + " 個のファイルを格納しました");
    return ctx.result();
}

}  // namespace kestrel::lzh
