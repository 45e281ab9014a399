#include "browse/GetNewFolderName.h"

#include "platform/FileStatus.h"

QString GetNewFolderName(const QString& path)
{
    QString folder = path;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    for (int n = 0; n <= 9999; ++n) {
        const QString candidate = n == 0 ? QStringLiteral("NewFolder")
                                         : QStringLiteral("NewFolder%1").arg(n);
        // The entry itself: a dangling link of that name also blocks the name.
        if (!FileStatus::ofEntry(folder + candidate).exists())
            return candidate;
    }
    return {};
}
