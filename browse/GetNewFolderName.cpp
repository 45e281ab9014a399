#include "browse/GetNewFolderName.h"

#include <QFile>

#include <sys/stat.h>

QString GetNewFolderName(const QString& path)
{
    QString folder = path;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    for (int n = 0; n <= 9999; ++n) {
        const QString candidate = n == 0 ? QStringLiteral("NewFolder")
                                         : QStringLiteral("NewFolder%1").arg(n);
        struct stat st {};
        // lstat: a dangling link of that name also blocks the name.
        if (::lstat(QFile::encodeName(folder + candidate).constData(), &st) != 0)
            return candidate;
    }
    return {};
}
