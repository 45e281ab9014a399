#include "platform/TrashTreeRemover.h"

#include <QFile>
#include <QList>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Read in full before anything is removed, so removing does not disturb the reading.
QList<QByteArray> TrashTreeRemover::namesIn(int dirFd, int* error)
{
    QList<QByteArray> names;
    const int readFd = ::dup(dirFd);
    if (readFd < 0) {
        *error = errno;
        return names;
    }
    DIR* dir = ::fdopendir(readFd);
    if (!dir) {
        *error = errno;
        ::close(readFd);
        return names;
    }
    // The copy shares its reading position with `dirFd`: start from the top.
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names << QByteArray(entry->d_name);
        errno = 0;
    }
    *error = errno;
    ::closedir(dir);
    return names;
}

bool TrashTreeRemover::isMountPoint(int dirFd, const QByteArray& name)
{
    struct statx sx {};
    const int flags = AT_SYMLINK_NOFOLLOW | (name.isEmpty() ? AT_EMPTY_PATH : 0);
    if (::statx(dirFd, name.constData(), flags, STATX_BASIC_STATS, &sx) != 0)
        return false;
    return (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

namespace {

// Opens the folder `name` for reading without following a link. A folder
// that may not be read is given read and search rights first; the change goes
// through an O_PATH descriptor, which cannot be a link either.
int openFolder(int parentFd, const QByteArray& name)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parentFd, name.constData(), flags);
    if (fd >= 0 || errno != EACCES)
        return fd;
    const int pathFd = ::openat(parentFd, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (pathFd < 0)
        return -1;
    struct stat st {};
    const QByteArray viaProc = "/proc/self/fd/" + QByteArray::number(pathFd);
    if (::fstat(pathFd, &st) == 0)
        ::chmod(viaProc.constData(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR | S_IXUSR);
    ::close(pathFd);
    fd = ::openat(parentFd, name.constData(), flags);
    if (fd < 0)
        errno = EACCES;
    return fd;
}

}  // namespace

TrashTreeRemover::TrashTreeRemover(Tick tick) : tick_(std::move(tick)) {}

bool TrashTreeRemover::removePath(const QString& path)
{
    QString clean = path;
    while (clean.size() > 1 && clean.endsWith(u'/'))
        clean.chop(1);
    const qsizetype slash = clean.lastIndexOf(u'/');
    if (slash < 0 || clean == QLatin1String("/"))
        return fail(path, EINVAL);  // never the root, never a relative path
    const QByteArray parent = QFile::encodeName(slash == 0 ? QStringLiteral("/") : clean.left(slash));
    const int parentFd = ::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return fail(path, errno);
    const bool done = remove(parentFd, QFile::encodeName(clean.mid(slash + 1)), clean);
    ::close(parentFd);
    return done;
}

bool TrashTreeRemover::remove(int parentFd, const QByteArray& name, const QString& shownPath)
{
    struct stat st {};
    if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(shownPath, errno);
    return removeEntry(parentFd, name, shownPath, st.st_dev);
}

bool TrashTreeRemover::removeEntry(int parentFd, const QByteArray& name, const QString& shownPath,
                                   dev_t volume)
{
    if (cancelled_)
        return false;
    struct stat st {};
    if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? true : fail(shownPath, errno);
    if (!S_ISDIR(st.st_mode))
        bytes_ += st.st_size;
    if (tick_ && !tick_(shownPath, bytes_)) {
        cancelled_ = true;
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        // A bind mount of a folder of the same volume keeps the device
        // number: only the kernel's mount flag tells it from a plain folder.
        if (st.st_dev != volume || isMountPoint(parentFd, name))
            return fail(shownPath, EXDEV);
        return removeFolder(parentFd, name, shownPath, volume);
    }
    if (::unlinkat(parentFd, name.constData(), 0) != 0 && errno != ENOENT)
        return fail(shownPath, errno);
    return true;
}

bool TrashTreeRemover::removeFolder(int parentFd, const QByteArray& name, const QString& shownPath,
                                    dev_t volume)
{
    const int fd = openFolder(parentFd, name);
    if (fd < 0)
        return fail(shownPath, errno);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || opened.st_dev != volume || isMountPoint(fd, QByteArray())) {
        ::close(fd);
        return fail(shownPath, EXDEV);  // something else was mounted there meanwhile
    }
    // Emptying a folder needs write and search rights on it: a read-only
    // folder of the user's is made writable (through the descriptor, so it
    // is the folder just checked and no link).
    const mode_t needed = S_IRUSR | S_IWUSR | S_IXUSR;
    if ((opened.st_mode & needed) != needed)
        ::fchmod(fd, (opened.st_mode & 07777) | needed);
    int error = 0;
    const QList<QByteArray> names = namesIn(fd, &error);
    bool all = error == 0;
    if (!all)
        fail(shownPath, error);
    for (const QByteArray& child : names) {
        const QString childPath = shownPath + u'/' + QFile::decodeName(child);
        if (!removeEntry(fd, child, childPath, volume))
            all = false;
        if (cancelled_)
            break;
    }
    ::close(fd);
    if (!all || cancelled_)
        return false;
    if (::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT)
        return fail(shownPath, errno);
    return true;
}

bool TrashTreeRemover::fail(const QString& shownPath, int error)
{
    failures_ << shownPath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
    return false;
}
