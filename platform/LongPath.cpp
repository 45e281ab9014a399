#include "platform/LongPath.h"

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

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
        // A folder we may enter but not list keeps the name as given.
        QString stored = storedName(QFile::encodeName(result), part);
        if (stored.isEmpty())
            stored = part;
        result += stored + QLatin1Char('/');
    }
    return result;
}

}  // namespace LongPath
