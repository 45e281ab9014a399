#include "split/PartName.h"

namespace PartName {

QString base(const QString& fileName, qint64 partCount)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString ext = dot < 0 ? QString() : fileName.mid(dot + 1);
    return stem + QLatin1Char('_') + ext + QLatin1Char('_') + number(partCount);
}

QString number(qint64 k)
{
    return QStringLiteral("%1").arg(k, 3, 10, QLatin1Char('0'));
}

QString part(const QString& fileName, qint64 partCount, qint64 k)
{
    return base(fileName, partCount) + QLatin1Char('.') + number(k);
}

} // namespace PartName
