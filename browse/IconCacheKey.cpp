#include "browse/IconCacheKey.h"

#include "platform/Attributes.h"

QString IconCacheKey(const QString& name, std::uint32_t attributes)
{
    if (attributes & Attributes::Directory) {
        if (attributes & (Attributes::ReadOnly | Attributes::System))
            return name;
        return QStringLiteral("Folder");
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString key = dot >= 0 ? name.mid(dot).toUpper() : name.toUpper();
    if (key == QLatin1String(".ICO") || key == QLatin1String(".EXE"))
        return name;
    return key;
}
