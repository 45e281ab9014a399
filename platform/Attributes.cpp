#include "platform/Attributes.h"

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Attributes {

QString letters(std::uint32_t attributes)
{
    QString text;
    if (attributes & ReadOnly) text += QLatin1Char('R');
    if (attributes & Hidden) text += QLatin1Char('H');
    if (attributes & System) text += QLatin1Char('S');
    if (attributes & Archive) text += QLatin1Char('A');
    if (attributes & Temporary) text += QLatin1Char('T');
    if (attributes & Compressed) text += QLatin1Char('C');
    return text;
}

Identity Identity::current()
{
    Identity who;
    who.uid = ::geteuid();
    who.gid = ::getegid();
    gid_t groups[64];
    const int n = ::getgroups(64, groups);
    for (int i = 0; i < n; ++i)
        who.supplementary[i] = groups[i];
    who.supplementaryCount = n > 0 ? n : 0;
    return who;
}

bool Identity::inGroup(unsigned g) const
{
    if (g == gid)
        return true;
    for (int i = 0; i < supplementaryCount; ++i)
        if (supplementary[i] == g)
            return true;
    return false;
}

// Decided from the mode bits as the kernel would for the owner, group and
// others (ACLs aside), so a listing needs no access() call per entry.
static bool writable(const struct stat& st, const Identity& who)
{
    if (who.uid == 0)
        return true;
    if (st.st_uid == who.uid)
        return st.st_mode & S_IWUSR;
    if (who.inGroup(st.st_gid))
        return st.st_mode & S_IWGRP;
    return st.st_mode & S_IWOTH;
}

std::uint32_t fromStat(const char* name, const struct stat& st, const Identity& who,
                       bool readOnlyVolume)
{
    std::uint32_t bits = 0;
    if (readOnlyVolume || !writable(st, who))
        bits |= ReadOnly;
    if (name[0] == '.')
        bits |= Hidden;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISFIFO(st.st_mode))
        bits |= System;
    if (S_ISDIR(st.st_mode))
        bits |= Directory;
    return bits;
}

bool volumeHasCompression(int dirFd)
{
    struct statfs fs {};
    if (::fstatfs(dirFd, &fs) != 0)
        return false;
    // The file systems on which chattr +c means something.
    constexpr unsigned long Btrfs = 0x9123683E;
    constexpr unsigned long F2fs = 0xF2F52010;
    constexpr unsigned long Bcachefs = 0xCA451A4E;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return type == Btrfs || type == F2fs || type == Bcachefs;
}

bool compressedFlag(int dirFd, const char* name, const struct stat& st)
{
    // Never open devices or FIFOs: opening them can block or have effects.
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return false;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    ::close(fd);
    return ok && (flags & FS_COMPR_FL);
}

std::uint32_t ofPath(const QString& givenPath, bool* exists)
{
    QString path = givenPath;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    const bool found = ::lstat(native.constData(), &st) == 0;
    if (exists)
        *exists = found;
    if (!found)
        return 0;
    // A link to a folder counts as a folder, as it does in a listing.
    struct stat target {};
    if (S_ISLNK(st.st_mode) && ::stat(native.constData(), &target) == 0)
        st = target;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QByteArray name = QFile::encodeName(path.mid(slash + 1));
    struct statvfs vfs {};
    const bool readOnlyVolume = ::statvfs(native.constData(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
    std::uint32_t bits = fromStat(name.constData(), st, Identity::current(), readOnlyVolume);
    const QByteArray dir = slash > 0 ? QFile::encodeName(path.left(slash)) : QByteArray("/");
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        if (volumeHasCompression(dirFd) && compressedFlag(dirFd, name.constData(), st))
            bits |= Compressed;
        ::close(dirFd);
    }
    return bits;
}

}  // namespace Attributes
