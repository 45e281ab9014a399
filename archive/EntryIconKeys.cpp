#include "archive/EntryIconKeys.h"

#include "archive/ImageList.h"
#include "platform/IconService.h"

QString EntryIconKeys::typeName(const QString& iconClass)
{
    if (iconClass == QLatin1String("/"))
        return iconClass;
    return iconClass.mid(iconClass.lastIndexOf(u'/') + 1);
}

QString EntryIconKeys::iconName(const QString& iconClass)
{
    const QString name = typeName(iconClass);
    if (name == QLatin1String("/"))
        return QStringLiteral("folder");
    return IconService::fileIconName(name);
}

EntryIconKeys::Keys EntryIconKeys::GetEntryIconKeys(const QString& iconClass)
{
    const QString type = typeName(iconClass);
    const auto known = byClass_.constFind(type);
    if (known != byClass_.constEnd())
        return *known;
    const QString name = iconName(iconClass);
    const Keys keys{QStringLiteral("LICON:") + name, QStringLiteral("SICON:") + name};
    if (!small_.contains(keys.small) || !large_.contains(keys.large)) {
        const QIcon icon = IconService::icon(name);
        small_.add(keys.small, icon);
        large_.add(keys.large, icon);
    }
    byClass_.insert(type, keys);
    return keys;
}
