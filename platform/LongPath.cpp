#include "platform/LongPath.h"

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif

namespace LongPath {

// The name of `wanted` as stored in the folder `parent`: the exact name when
// it is there, else the one that differs only in letter case (a volume that
// ignores case finds "readme" as README). Empty when neither is there.
static QString storedName(const QByteArray& parent, const QString& wanted)
{
    DIR* dir = ::opendir(parent.constData());
    if (!dir)
        return {};
    QString caseMatch;
    while (const dirent* d = ::readdir(dir)) {
        const QString name = QFile::decodeName(d->d_name);
        if (name == wanted) {
            ::closedir(dir);
            return name;
        }
        if (caseMatch.isEmpty() && name.compare(wanted, Qt::CaseInsensitive) == 0)
            caseMatch = name;
    }
    ::closedir(dir);
    return caseMatch;
}

// Whether names in the folder compare exactly, so a name found by stat is
// the stored name and the folder need not be read. Only the usual Linux file
// systems are trusted, and ext4 and f2fs only without case folding.
static bool namesAreExact(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool exact = false;
    struct statfs fs {};
    if (::fstatfs(fd, &fs) == 0) {
        switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53:      // ext2, ext3, ext4
        case 0xF2F52010:  // f2fs
        {
            int flags = 0;
            exact = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && !(flags & FS_CASEFOLD_FL);
            break;
        }
        case 0x9123683E:  // btrfs
        case 0x58465342:  // xfs
        case 0x01021994:  // tmpfs
        case 0x794C7630:  // overlay
        case 0x2FC12FC1:  // zfs
            exact = true;
            break;
        default:
            break;
        }
    }
    ::close(fd);
    return exact;
}

static bool isFolder(const QByteArray& path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString resolve(const QString& path)
{
    const QString trimmed = path.trimmed();
    if (!trimmed.startsWith(QLatin1Char('/')))
        return {};
    const QStringList parts = QDir::cleanPath(trimmed).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString result = QStringLiteral("/");
    for (const QString& part : parts) {
        // cleanPath leaves ".." above the root ("/.." stays): the root's parent is the root.
        if (part == QLatin1String("..") || part == QLatin1String("."))
            continue;
        const QString candidate = result + part;
        const QByteArray native = QFile::encodeName(candidate);
        if (!isFolder(native))
            break;
        // Reading the parent finds the stored letter case where the volume
        // ignores case; elsewhere the name that stat found is the stored one.
        // A folder we may enter but not list keeps the name as given.
        const QByteArray parent = QFile::encodeName(result);
        QString stored = namesAreExact(parent) ? part : storedName(parent, part);
        if (stored.isEmpty())
            stored = part;
        result += stored + QLatin1Char('/');
    }
    return result;
}

}  // namespace LongPath
