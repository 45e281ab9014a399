#include "platform/NoReplaceRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace NoReplaceRename {

bool rename(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: the caller found the name free a moment ago.
    return ::rename(source.constData(), target.constData()) == 0;
}

} // namespace NoReplaceRename
