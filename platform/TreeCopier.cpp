#include "platform/TreeCopier.h"

#include "platform/CopyConflictPrompt.h"
#include "platform/CopyJournal.h"
#include "platform/CopyPath.h"
#include "platform/FileDataCopier.h"
#include "platform/Progress.h"

#include "archivers/common/AtomicFile.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when it goes out of scope.
class FdGuard {
public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;

private:
    int fd_;
};

// Removes an unfinished temporary entry unless it was renamed into place.
class TempGuard {
public:
    explicit TempGuard(std::string path) : path_(std::move(path)) {}
    ~TempGuard()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    void release() { path_.clear(); }
    TempGuard(const TempGuard&) = delete;
    TempGuard& operator=(const TempGuard&) = delete;

private:
    std::string path_;
};

// A hidden name in `folder` that no copy would take for a real entry.
std::string temporaryPathIn(const std::string& folder)
{
    static const char digits[] = "0123456789abcdef";
    std::string name = ".kestrel-copy-";
    quint64 random = QRandomGenerator::global()->generate64();
    for (int i = 0; i < 16; ++i, random >>= 4)
        name += digits[random & 15];
    return CopyPath::join(folder, name);
}

// Creates something at a fresh temporary name in `folder`; `make` returns
// what the creating call returned. Retries when the random name is taken.
template <typename Make>
int createAtTemporary(const std::string& folder, std::string& temp, Make make)
{
    for (int tries = 0; tries < 100; ++tries) {
        temp = temporaryPathIn(folder);
        const int result = make(temp);
        if (result >= 0 || errno != EEXIST)
            return result;
    }
    return -1;
}

// Gives the copy the source's owner and group where the user may; returns
// whether both were kept. Without them the set-user and set-group bits are
// not carried over, so a copy never grants what its owner did not.
bool keepOwner(const std::string& path, const struct stat& st)
{
    if (::fchownat(AT_FDCWD, path.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    ::fchownat(AT_FDCWD, path.c_str(), static_cast<uid_t>(-1), st.st_gid, AT_SYMLINK_NOFOLLOW);
    return false;
}

bool keepOwner(int fd, const struct stat& st)
{
    if (::fchown(fd, st.st_uid, st.st_gid) == 0)
        return true;
    ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    return false;
}

mode_t modeToKeep(const struct stat& st, bool ownerKept)
{
    return st.st_mode & (ownerKept ? 07777 : 01777);
}

// Permissions and times are kept where the destination can hold them. A FAT
// stick refuses most modes, and the copy must still be made there, so these
// are never a reason to fail.
void keepModeAndTimes(const std::string& path, const struct stat& st, bool ownerKept, bool isLink)
{
    // A link has no permissions of its own on Linux.
    if (!isLink)
        ::fchmodat(AT_FDCWD, path.c_str(), modeToKeep(st, ownerKept), 0);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// The text of a symbolic link, however long.
bool readLink(const std::string& path, std::string& text)
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (static_cast<size_t>(n) < buffer.size()) {
            text.assign(buffer.data(), static_cast<size_t>(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

TreeCopier::TreeCopier(CopyConflictPrompt& conflicts, Progress& progress, CopyJournal& journal)
    : conflicts_(conflicts), progress_(progress), journal_(journal)
{
}

TreeCopier::Outcome TreeCopier::copy(const std::string& source, const std::string& target,
                                     bool replaceConfirmed)
{
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0)
        return Outcome::Failed;
    return copyEntry(source, st, target, replaceConfirmed);
}

TreeCopier::Outcome TreeCopier::copyEntry(const std::string& source, const struct stat& st,
                                          const std::string& target, bool replaceConfirmed)
{
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            return Outcome::Failed;
        if (S_ISDIR(st.st_mode))
            return copyFolder(source, st, target, false);
        if (S_ISREG(st.st_mode))
            return copyFile(source, target, false);
        return copyNode(source, st, target, false);
    }

    if (made_.count({existing.st_dev, existing.st_ino}) != 0) {
        errno = EEXIST;
        return Outcome::Failed;  // two source names for one destination entry
    }
    const QString name = CopyPath::displayName(target);
    const bool sourceIsFolder = S_ISDIR(st.st_mode);
    const bool targetIsFolder = S_ISDIR(existing.st_mode);
    const bool twoFiles = !sourceIsFolder && !targetIsFolder;
    const CopyConflictPrompt::Choice choice = twoFiles && replaceConfirmed
        ? CopyConflictPrompt::Choice::Replace
        : conflicts_.ask(name, sourceIsFolder, targetIsFolder);

    if (choice == CopyConflictPrompt::Choice::Skip)
        return Outcome::Skipped;
    if (choice == CopyConflictPrompt::Choice::Stop)
        return Outcome::Stopped;
    if (sourceIsFolder)
        return copyFolder(source, st, target, true);
    if (S_ISREG(st.st_mode))
        return copyFile(source, target, true);
    return copyNode(source, st, target, true);
}

TreeCopier::Outcome TreeCopier::copyFolder(const std::string& source, const struct stat& st,
                                           const std::string& target, bool merge)
{
    if (!merge) {
        // Owner-only until the contents are in: a read-only source folder
        // would otherwise refuse its own files.
        if (::mkdir(target.c_str(), 0700) != 0)
            return Outcome::Failed;
        journal_.created(target, true);
        remember(target);
    }
    if (!report(CopyPath::displayName(source)))
        return Outcome::Stopped;
    const Outcome contents = copyContents(source, target);
    if (contents != Outcome::Done)
        return contents;
    // A folder merged into keeps its own permissions and times: it was the
    // user's before the copy.
    if (!merge) {
        keepModeAndTimes(target, st, keepOwner(target, st), false);
    }
    copied_.push_back({source, st});
    return Outcome::Done;
}

TreeCopier::Outcome TreeCopier::copyContents(const std::string& source, const std::string& target)
{
    std::vector<std::string> names;
    if (!listFolder(source, names))
        return Outcome::Failed;
    for (const std::string& name : names) {
        const std::string child = CopyPath::join(source, name);
        struct stat st {};
        if (::lstat(child.c_str(), &st) != 0)
            return Outcome::Failed;
        const Outcome outcome = copyEntry(child, st, CopyPath::join(target, name), false);
        if (outcome == Outcome::Failed || outcome == Outcome::Stopped)
            return outcome;
    }
    return Outcome::Done;
}

TreeCopier::Outcome TreeCopier::copyFile(const std::string& source, const std::string& target,
                                         bool replacing)
{
    const QString name = CopyPath::displayName(source);
    if (!report(name))
        return Outcome::Stopped;
    // Non-blocking, in case the entry was swapped for a FIFO since it was
    // listed: opening that for reading would wait for a writer forever.
    const int from = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (from < 0)
        return Outcome::Failed;
    FdGuard fromGuard(from);
    // Copy what is there now, and only if it is still a plain file (never a
    // device opened by accident).
    struct stat now {};
    if (::fstat(from, &now) != 0 || !S_ISREG(now.st_mode))
        return Outcome::Failed;

    // Owner-only until the data is in; the mode and times are
    // set through the descriptor, and a name taken meanwhile is never replaced
    // unless the user agreed to replace it.
    kestrel::arc::AtomicFile out(target);
    out.setTemporaryStem("kestrel-copy-");
    out.keepTemporaryMode();
    out.setSync(false);
    out.setReplace(replacing);
    if (!out.open())
        return Outcome::Failed;
    const int to = out.descriptor();

    Outcome outcome = Outcome::Done;
    if (!writeData(from, to, source, name, outcome))
        return outcome;
    // Mode and times as for every entry (see keepModeAndTimes), through the
    // descriptor while it is open.
    const bool ownerKept = keepOwner(to, now);
    const struct timespec times[2] = {now.st_atim, now.st_mtim};
    ::fchmod(to, modeToKeep(now, ownerKept));
    ::futimens(to, times);
    if (!out.commit())
        return Outcome::Failed;
    placed(target, replacing);
    copied_.push_back({source, now});
    return Outcome::Done;
}

bool TreeCopier::writeData(int from, int to, const std::string& source, const QString& name,
                           Outcome& outcome)
{
    if (writeFault_ && writeFault_(source)) {
        errno = EIO;
        outcome = Outcome::Failed;
        return false;
    }
    const auto tick = [this, &name](qint64 bytes) {
        bytesDone_ += bytes;
        return report(name);
    };
    FileDataCopier::Result result = FileDataCopier::copy(from, to, tick);
    if (result == FileDataCopier::Result::Done && verify_)
        result = FileDataCopier::compare(from, to, tick);
    if (result == FileDataCopier::Result::Done)
        return true;
    outcome = result == FileDataCopier::Result::Stopped ? Outcome::Stopped : Outcome::Failed;
    return false;
}

TreeCopier::Outcome TreeCopier::copyNode(const std::string& source, const struct stat& st,
                                         const std::string& target, bool replacing)
{
    if (!report(CopyPath::displayName(source)))
        return Outcome::Stopped;
    const bool isLink = S_ISLNK(st.st_mode);
    std::string linkText;
    if (isLink && !readLink(source, linkText))
        return Outcome::Failed;

    // Special files are made anew as the same kind of node (a FIFO, a socket
    // name, a device where the user may make devices); nothing is read from
    // them, since opening a FIFO or a device could wait forever or act.
    std::string temp;
    const int made = createAtTemporary(CopyPath::parentOf(target), temp, [&](const std::string& path) {
        if (isLink)
            return ::symlink(linkText.c_str(), path.c_str());
        return ::mknod(path.c_str(), (st.st_mode & S_IFMT) | 0600, st.st_rdev);
    });
    if (made < 0)
        return Outcome::Failed;
    TempGuard tempGuard(temp);

    keepModeAndTimes(temp, st, keepOwner(temp, st), isLink);
    if (!place(temp, target, replacing))
        return Outcome::Failed;
    tempGuard.release();
    copied_.push_back({source, st});
    return Outcome::Done;
}

bool TreeCopier::place(const std::string& temp, const std::string& target, bool replacing)
{
    const bool done = replacing ? ::rename(temp.c_str(), target.c_str()) == 0
                                : CopyPath::renameNoReplace(temp, target);
    if (done)
        placed(target, replacing);
    return done;
}

void TreeCopier::placed(const std::string& target, bool replacing)
{
    if (!replacing)
        journal_.created(target, false);
    remember(target);
}

void TreeCopier::remember(const std::string& target)
{
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0)
        made_.insert({st.st_dev, st.st_ino});
}

bool TreeCopier::report(const QString& name)
{
    return progress_.report(name, bytesDone_);
}

bool TreeCopier::listFolder(const std::string& path, std::vector<std::string>& names)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return complete;
}

qint64 TreeCopier::countBytes(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return st.st_size;
    if (!S_ISDIR(st.st_mode))
        return 0;
    std::vector<std::string> names;
    listFolder(path, names);
    qint64 total = 0;
    for (const std::string& name : names)
        total += countBytes(CopyPath::join(path, name));
    return total;
}
