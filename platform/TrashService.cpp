#include "platform/TrashService.h"

#include "platform/Progress.h"
#include "platform/TrashInfo.h"
#include "platform/TrashTreeRemover.h"
#include "platform/VolumeService.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The longest name a folder entry may have, in bytes.
constexpr int MaxNameBytes = 255;
const QByteArray InfoSuffix(".trashinfo");

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

// A folder of the user's own that is a real folder, not a link to one.
bool isPrivateFolder(const QString& path, unsigned uid)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && st.st_uid == uid;
}

// Makes the folder (0700) when it is missing; true when it is then a real
// folder of the user's.
bool makePrivateFolder(const QString& path, unsigned uid)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return isPrivateFolder(path, uid);
}

// The shared .Trash of a volume may only be used when it is a real folder
// with the sticky bit: otherwise anyone could put links or other people's
// folders in place of ours.
bool isSharedTrash(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && (st.st_mode & S_ISVTX);
}

// The n-th name tried for an entry named `base`: the name itself, then
// "name.2", "name.3"... cut (at a character's start) so that the info file's
// name still fits in a folder entry.
QByteArray candidateName(const QByteArray& base, int n)
{
    const QByteArray suffix = n == 1 ? QByteArray() : "." + QByteArray::number(n);
    qsizetype room = MaxNameBytes - InfoSuffix.size() - suffix.size();
    if (base.size() <= room)
        return base + suffix;
    // Do not split a UTF-8 sequence: step back over continuation bytes.
    while (room > 0 && (static_cast<unsigned char>(base[room]) & 0xC0) == 0x80)
        --room;
    return base.left(room) + suffix;
}

int openFolderNoLink(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool writeAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Renames without ever replacing an entry that is there already.
int renameNoReplace(const QByteArray& from, int toDirFd, const QByteArray& toName)
{
    if (::renameat2(AT_FDCWD, from.constData(), toDirFd, toName.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: the name was checked free just before.
    struct stat st {};
    if (::fstatat(toDirFd, toName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(AT_FDCWD, from.constData(), toDirFd, toName.constData()) == 0 ? 0 : errno;
}

// Changes the mode of a folder without following a link in its place (the
// change goes through an O_PATH descriptor of the folder itself).
bool chmodFolder(const QByteArray& path, mode_t mode)
{
    const int fd = ::open(path.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const QByteArray viaProc = "/proc/self/fd/" + QByteArray::number(fd);
    const bool done = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && ::chmod(viaProc.constData(), mode) == 0;
    ::close(fd);
    return done;
}

// Moving a folder to another parent rewrites its ".." entry, which needs
// write rights on the folder itself: a read-only folder of the user's is
// made writable for the move and gets its own mode back afterwards.
int renameReadOnlyFolder(const QByteArray& from, int toDirFd, const QByteArray& toName,
                         const QByteArray& toPath)
{
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || (st.st_mode & S_IWUSR))
        return EACCES;
    const mode_t mode = st.st_mode & 07777;
    if (!chmodFolder(from, mode | S_IWUSR))
        return EACCES;
    const int error = renameNoReplace(from, toDirFd, toName);
    chmodFolder(error == 0 ? toPath : from, mode);
    return error;
}

QStringList mountedTopdirs()
{
    QStringList topdirs;
    for (const VolumeService::Volume& volume : VolumeService::volumes()) {
        if (volume.readOnly)
            continue;  // nothing could be removed from it anyway
        // A dead network server must not freeze the window.
        if (volume.kind == VolumeService::Kind::Network && VolumeService::probe(volume.mountPath) != 0)
            continue;
        topdirs << volume.mountPath;
    }
    return topdirs;
}

}  // namespace

TrashService::TrashService()
    : homeTrash_(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                 + QStringLiteral("/Trash")),
      volumeSource_(mountedTopdirs),
      topdirOf_(&TrashService::topdirOf)
{
}

QString TrashService::topdirOf(const QString& path)
{
    QString p = QDir::cleanPath(path);
    struct stat st {};
    while (::lstat(QFile::encodeName(p).constData(), &st) != 0) {
        if (p == QLatin1String("/") || !p.startsWith(u'/'))
            return QStringLiteral("/");
        p = parentOf(p);
    }
    const dev_t device = st.st_dev;
    while (p != QLatin1String("/")) {
        const QString parent = parentOf(p);
        struct stat up {};
        if (::stat(QFile::encodeName(parent).constData(), &up) != 0 || up.st_dev != device)
            return p;
        p = parent;
    }
    return p;
}

QString TrashService::volumeTrash(const QString& topdir, unsigned uid)
{
    const QString uidText = QString::number(uid);
    const QString shared = joined(topdir, QStringLiteral(".Trash"));
    if (isSharedTrash(shared)) {
        const QString own = joined(shared, uidText);
        if (makePrivateFolder(own, uid))
            return own;
    }
    const QString single = joined(topdir, QStringLiteral(".Trash-") + uidText);
    if (makePrivateFolder(single, uid))
        return single;
    return {};
}

QStringList TrashService::volumeTrashes(const QString& topdir, unsigned uid)
{
    QStringList found;
    const QString uidText = QString::number(uid);
    const QString shared = joined(topdir, QStringLiteral(".Trash"));
    if (isSharedTrash(shared) && isPrivateFolder(joined(shared, uidText), uid))
        found << joined(shared, uidText);
    const QString single = joined(topdir, QStringLiteral(".Trash-") + uidText);
    if (isPrivateFolder(single, uid))
        found << single;
    return found;
}

TrashService::Result TrashService::trash(const QString& path)
{
    Result result;
    const QString clean = QDir::cleanPath(path);
    if (!clean.startsWith(u'/')) {
        result.reason = errorText(EINVAL);
        return result;
    }
    if (clean == QLatin1String("/")) {
        result.reason = errorText(EBUSY);
        return result;
    }
    // The folder holding the entry, with its links resolved, so the volume
    // found is the one the entry really is on.
    const QString folder = QFileInfo(parentOf(clean)).canonicalFilePath();
    if (folder.isEmpty()) {
        result.reason = errorText(ENOENT);
        return result;
    }
    const QString full = joined(folder, clean.mid(clean.lastIndexOf(u'/') + 1));
    struct stat st {};
    if (::lstat(QFile::encodeName(full).constData(), &st) != 0) {
        result.reason = errorText(errno);
        return result;
    }
    const QString topdir = topdirOf_(full);
    if (full == topdir || TrashTreeRemover::isMountPoint(AT_FDCWD, QFile::encodeName(full))) {
        // A mount point can neither be renamed nor removed: deleting it "for
        // good" would only empty the volume and then fail on the folder.
        result.reason = errorText(EBUSY);
        return result;
    }
    const bool home = topdir == topdirOf_(homeTrash_);
    const QString trashDir = trashFolderFor(home, topdir, &result.reason);
    if (trashDir.isEmpty()) {
        result.outcome = Outcome::NoTrash;
        return result;
    }
    // Trashing the trash, something in it, or a folder holding it, would put
    // a folder inside itself or make trashed entries unreachable.
    if (full == trashDir || trashDir.startsWith(full + u'/') || full.startsWith(trashDir + u'/')) {
        result.outcome = Outcome::NoTrash;
        result.reason = errorText(EINVAL);
        return result;
    }
    const QString recorded = home ? full : full.mid(topdir == QLatin1String("/") ? 1 : topdir.size() + 1);
    return moveInto(full, trashDir, QFile::encodeName(recorded));
}

QString TrashService::trashFolderFor(bool home, const QString& topdir, QString* reason)
{
    const unsigned uid = ::getuid();
    QString folder;
    if (home) {
        // The folders above the trash are ordinary data folders; the trash is private.
        QDir().mkpath(parentOf(homeTrash_));
        if (::mkdir(QFile::encodeName(homeTrash_).constData(), 0700) == 0 || errno == EEXIST)
            folder = QFileInfo(homeTrash_).isDir() ? homeTrash_ : QString();
    } else {
        folder = volumeTrash(topdir, uid);
    }
    if (!folder.isEmpty()) {
        folder = QFileInfo(folder).canonicalFilePath();
        if (makePrivateFolder(joined(folder, QStringLiteral("files")), uid)
            && makePrivateFolder(joined(folder, QStringLiteral("info")), uid))
            return folder;
    }
    *reason = errorText(errno ? errno : EACCES);
    return {};
}

TrashService::Result TrashService::moveInto(const QString& full, const QString& trashDir,
                                            const QByteArray& recordedPath)
{
    Result result;
    const int filesFd = openFolderNoLink(joined(trashDir, QStringLiteral("files")));
    const int infoFd = openFolderNoLink(joined(trashDir, QStringLiteral("info")));
    if (filesFd < 0 || infoFd < 0) {
        result.outcome = Outcome::NoTrash;
        result.reason = errorText(errno);
        if (filesFd >= 0)
            ::close(filesFd);
        if (infoFd >= 0)
            ::close(infoFd);
        return result;
    }
    const QByteArray source = QFile::encodeName(full);
    const QByteArray base = source.mid(source.lastIndexOf('/') + 1);
    const QByteArray info = TrashInfo::contents(recordedPath, QDateTime::currentDateTime());
    int error = EEXIST;
    for (int n = 1; n <= 10000 && error == EEXIST; ++n) {
        const QByteArray name = candidateName(base, n);
        const QByteArray infoName = name + InfoSuffix;
        // The info file comes first and exclusively: whoever creates it owns the name.
        const int fd = ::openat(infoFd, infoName.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = errno;
            continue;
        }
        struct stat st {};
        if (::fstatat(filesFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            // An entry without its info file holds this name: leave it be.
            ::close(fd);
            ::unlinkat(infoFd, infoName.constData(), 0);
            error = EEXIST;
            continue;
        }
        const bool written = writeAll(fd, info);
        const bool closed = ::close(fd) == 0;
        error = written && closed ? renameNoReplace(source, filesFd, name) : EIO;
        if (error == EACCES)
            error = renameReadOnlyFolder(source, filesFd, name,
                                         QFile::encodeName(joined(trashDir, QStringLiteral("files/"))) + name);
        if (error == 0) {
            result.outcome = Outcome::Trashed;
            result.trashedAs = joined(trashDir, QStringLiteral("files/") + QFile::decodeName(name));
        } else {
            ::unlinkat(infoFd, infoName.constData(), 0);
        }
    }
    ::close(filesFd);
    ::close(infoFd);
    if (error != 0) {
        // Another volume after all (a bind mount): the trash cannot take it.
        result.outcome = error == EXDEV ? Outcome::NoTrash : Outcome::Failed;
        result.reason = errorText(error);
    }
    return result;
}

TrashService::EmptyReport TrashService::deleteForGood(const QString& path, Progress* progress)
{
    EmptyReport report;
    if (progress)
        progress->start(QStringLiteral("削除"), 0);
    TrashTreeRemover remover([progress](const QString& shown, qint64 bytes) {
        return !progress || progress->report(shown, bytes);
    });
    if (remover.removePath(path))
        report.removed = 1;
    report.failures = remover.failures();
    report.cancelled = remover.cancelled();
    if (progress)
        progress->finish();
    return report;
}

QStringList TrashService::existingTrashes() const
{
    QStringList trashes;
    if (QFileInfo(homeTrash_).isDir())
        trashes << QFileInfo(homeTrash_).canonicalFilePath();
    for (const QString& topdir : volumeSource_()) {
        for (const QString& trash : volumeTrashes(topdir, ::getuid())) {
            const QString canonical = QFileInfo(trash).canonicalFilePath();
            if (!trashes.contains(canonical))
                trashes << canonical;
        }
    }
    return trashes;
}

int TrashService::trashedCount() const
{
    int count = 0;
    for (const QString& trash : existingTrashes()) {
        const int fd = openFolderNoLink(joined(trash, QStringLiteral("files")));
        if (fd < 0)
            continue;
        int error = 0;
        count += static_cast<int>(TrashTreeRemover::namesIn(fd, &error).size());
        ::close(fd);
    }
    return count;
}

TrashService::EmptyReport TrashService::emptyAll(Progress* progress)
{
    EmptyReport report;
    if (progress)
        progress->start(QStringLiteral("ごみ箱を空にする"), 0);
    for (const QString& trash : existingTrashes()) {
        emptyOne(trash, report, progress);
        if (report.cancelled)
            break;
    }
    if (progress)
        progress->finish();
    return report;
}

void TrashService::emptyOne(const QString& trashDir, EmptyReport& report, Progress* progress) const
{
    const QString filesDir = joined(trashDir, QStringLiteral("files"));
    const int filesFd = openFolderNoLink(filesDir);
    const int infoFd = openFolderNoLink(joined(trashDir, QStringLiteral("info")));
    TrashTreeRemover remover([progress](const QString& shown, qint64 bytes) {
        return !progress || progress->report(shown, bytes);
    });
    const qsizetype failuresBefore = report.failures.size();
    if (filesFd >= 0) {
        int error = 0;
        for (const QByteArray& name : TrashTreeRemover::namesIn(filesFd, &error)) {
            if (remover.remove(filesFd, name, joined(filesDir, QFile::decodeName(name)))) {
                ++report.removed;
                // The entry first, then its info: a failure half-way leaves
                // an info without entry, which the next emptying clears.
                if (infoFd >= 0)
                    ::unlinkat(infoFd, (name + InfoSuffix).constData(), 0);
            }
            if (remover.cancelled())
                break;
        }
        if (error != 0)
            report.failures << filesDir + QStringLiteral(": ") + errorText(error);
    }
    report.failures << remover.failures();
    report.cancelled = remover.cancelled();
    if (infoFd >= 0 && !report.cancelled) {
        int error = 0;
        for (const QByteArray& infoName : TrashTreeRemover::namesIn(infoFd, &error)) {
            if (!infoName.endsWith(InfoSuffix))
                continue;
            const QByteArray name = infoName.chopped(InfoSuffix.size());
            struct stat st {};
            const bool entryThere = filesFd >= 0
                                    && ::fstatat(filesFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
            if (!entryThere)
                ::unlinkat(infoFd, infoName.constData(), 0);
        }
    }
    // The cached folder sizes describe entries that are gone now.
    if (!report.cancelled && report.failures.size() == failuresBefore)
        ::unlink(QFile::encodeName(joined(trashDir, QStringLiteral("directorysizes"))).constData());
    if (filesFd >= 0)
        ::close(filesFd);
    if (infoFd >= 0)
        ::close(infoFd);
}
