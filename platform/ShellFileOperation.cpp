#include "platform/ShellFileOperation.h"

#include "platform/CopyConflictPrompt.h"
#include "platform/CopyJournal.h"
#include "platform/CopyName.h"
#include "platform/CopyPath.h"
#include "platform/Progress.h"
#include "platform/TreeCopier.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool sameEntry(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string realPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result = resolved;
    std::free(resolved);
    return result;
}

// Whether `folder` is `tree` itself or lies anywhere below it, whatever links
// either path goes through.
bool isWithin(const std::string& folder, const std::string& tree)
{
    const std::string f = realPath(folder);
    const std::string t = realPath(tree);
    if (f.empty() || t.empty())
        return true;  // cannot tell: the safe answer refuses
    return f == t || t == "/" || f.compare(0, t.size() + 1, t + "/") == 0;
}

// Flushes the file system holding `folder`, so that a copy is on disk before
// the move removes its source.
bool flushFileSystemOf(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::syncfs(fd) == 0;
    ::close(fd);
    return flushed;
}

// Whether a source entry is still what the copy read: the same entry, with
// the same size and modification time. One written to after it was copied
// (an editor saving, say) holds data the copy lacks.
bool unchangedSince(const struct stat& now, const struct stat& copied)
{
    return sameEntry(now, copied) && (now.st_mode & S_IFMT) == (copied.st_mode & S_IFMT)
        && now.st_size == copied.st_size && now.st_mtim.tv_sec == copied.st_mtim.tv_sec
        && now.st_mtim.tv_nsec == copied.st_mtim.tv_nsec;
}

// Removes the sources of a finished cross-device move, each folder after its
// contents. A folder still holding something (an entry the user skipped)
// stays, and so does a mount point (a volume moved whole leaves its empty
// root where it is mounted). An entry that changed after it was copied stays
// too, and makes the move count as failed, so the user looks at both places.
bool removeSources(const std::vector<TreeCopier::CopiedSource>& sources)
{
    bool allRemoved = true;
    for (const TreeCopier::CopiedSource& source : sources) {
        const char* path = source.path.c_str();
        struct stat st {};
        if (::lstat(path, &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (::rmdir(path) != 0 && errno != ENOTEMPTY && errno != EEXIST && errno != EBUSY)
                return false;
        } else if (!unchangedSince(st, source.st)) {
            allRemoved = false;
        } else if (::unlink(path) != 0) {
            return false;
        }
    }
    return allRemoved;
}

} // namespace

ShellFileOperation::ShellFileOperation(Prompter& prompter, Progress& progress, QString title)
    : prompter_(prompter), progress_(progress), title_(std::move(title)), conflicts_(prompter_, title_)
{
}

bool ShellFileOperation::run(Function function, const QString& source, const QString& destinationFolder)
{
    conflicts_.forgetStop();
    const std::string src = withoutTrailingSlashes(CopyPath::bytes(source));
    const std::string folder = CopyPath::bytes(destinationFolder);
    if (src.empty() || folder.empty())
        return false;
    struct stat st {};
    struct stat folderSt {};
    if (::lstat(src.c_str(), &st) != 0 || ::stat(folder.c_str(), &folderSt) != 0 || !S_ISDIR(folderSt.st_mode))
        return false;
    const std::string name = CopyPath::lastName(src);
    if (name.empty() || name == "/" || name == "." || name == "..")
        return false;
    if (S_ISDIR(st.st_mode) && isWithin(folder, src))
        return false;

    struct stat parentSt {};
    const bool sameFolder = ::stat(CopyPath::parentOf(src).c_str(), &parentSt) == 0
        && sameEntry(parentSt, folderSt);
    if (function == Function::Move && sameFolder)
        return true;  // already there: nothing to do, nothing to lose

    bytesDone_ = 0;
    const bool across = function == Function::Move
        && (crossDevice_ ? crossDevice_(src, folder) : st.st_dev != folderSt.st_dev);
    // A rename takes no time whatever the size, so a move within one file
    // system does not walk the tree to count it.
    totalCounted_ = function == Function::Copy || across;
    progress_.start(function == Function::Copy ? QStringLiteral("コピー") : QStringLiteral("移動"),
                    totalCounted_ ? TreeCopier::countBytes(src) : 0);
    struct Finish {
        Progress& progress;
        ~Finish() { progress.finish(); }
    } finish{progress_};

    if (function == Function::Copy)
        return copy(src, st, folder, sameFolder);
    const std::string target = CopyPath::join(folder, name);
    const Outcome outcome = across ? moveAcross(src, target, false) : moveByRename(src, st, target);
    return outcome == Outcome::Done || outcome == Outcome::Skipped;
}

bool ShellFileOperation::copy(const std::string& source, const struct stat& st, const std::string& folder,
                              bool sameFolder)
{
    std::string name = CopyPath::lastName(source);
    if (sameFolder) {
        name = CopyName::firstFree(folder, name, S_ISDIR(st.st_mode));
        if (name.empty())
            return false;
    }
    CopyJournal journal;
    TreeCopier copier(conflicts_, progress_, journal);
    copier.setWriteFault(writeFault_);
    const TreeCopier::Outcome outcome = copier.copy(source, CopyPath::join(folder, name));
    if (outcome == TreeCopier::Outcome::Failed || outcome == TreeCopier::Outcome::Stopped) {
        journal.rollback();
        return false;
    }
    return true;
}

ShellFileOperation::Outcome ShellFileOperation::moveByRename(const std::string& source, const struct stat& st,
                                                             const std::string& target)
{
    if (!progress_.report(CopyPath::displayName(source), bytesDone_))
        return Outcome::Stopped;
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            return Outcome::Failed;
        if (CopyPath::renameNoReplace(source, target))
            return Outcome::Done;
        // One file system mounted twice still refuses a rename between the
        // two mounts.
        return errno == EXDEV ? moveAcross(source, target, false) : Outcome::Failed;
    }

    const QString name = CopyPath::displayName(target);
    const bool sourceIsFolder = S_ISDIR(st.st_mode);
    const bool targetIsFolder = S_ISDIR(existing.st_mode);
    const CopyConflictPrompt::Choice choice = conflicts_.ask(name, sourceIsFolder, targetIsFolder);
    if (choice == CopyConflictPrompt::Choice::Skip)
        return Outcome::Skipped;
    if (choice == CopyConflictPrompt::Choice::Stop)
        return Outcome::Stopped;
    if (sourceIsFolder)
        return mergeByRename(source, target);
    if (::rename(source.c_str(), target.c_str()) == 0)
        return Outcome::Done;
    return errno == EXDEV ? moveAcross(source, target, true) : Outcome::Failed;
}

ShellFileOperation::Outcome ShellFileOperation::mergeByRename(const std::string& source,
                                                              const std::string& target)
{
    std::vector<std::string> names;
    if (!TreeCopier::listFolder(source, names))
        return Outcome::Failed;
    for (const std::string& name : names) {
        const std::string child = CopyPath::join(source, name);
        struct stat st {};
        if (::lstat(child.c_str(), &st) != 0)
            return Outcome::Failed;
        const Outcome outcome = moveByRename(child, st, CopyPath::join(target, name));
        if (outcome == Outcome::Failed || outcome == Outcome::Stopped)
            return outcome;
    }
    // Entries the user skipped keep the source folder; an emptied one goes.
    ::rmdir(source.c_str());
    return Outcome::Done;
}

ShellFileOperation::Outcome ShellFileOperation::moveAcross(const std::string& source, const std::string& target,
                                                           bool replaceConfirmed)
{
    if (!totalCounted_) {
        progress_.start(QStringLiteral("移動"), bytesDone_ + TreeCopier::countBytes(source));
        totalCounted_ = true;
    }
    CopyJournal journal;
    TreeCopier copier(conflicts_, progress_, journal);
    copier.setVerify(true);
    copier.setWriteFault(writeFault_);
    copier.setBytesDone(bytesDone_);
    const TreeCopier::Outcome outcome = copier.copy(source, target, replaceConfirmed);
    bytesDone_ = copier.bytesDone();
    switch (outcome) {
    case TreeCopier::Outcome::Skipped:
        return Outcome::Skipped;
    case TreeCopier::Outcome::Failed:
    case TreeCopier::Outcome::Stopped:
        journal.rollback();
        return outcome == TreeCopier::Outcome::Failed ? Outcome::Failed : Outcome::Stopped;
    case TreeCopier::Outcome::Done:
        break;
    }
    if (!flushFileSystemOf(CopyPath::parentOf(target))) {
        journal.rollback();
        return Outcome::Failed;
    }
    // From here on the copy is whole and on disk: a source that cannot be
    // removed leaves the entry in both places, never in neither.
    return removeSources(copier.copiedSources()) ? Outcome::Done : Outcome::Failed;
}
