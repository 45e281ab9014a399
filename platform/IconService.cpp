#include "platform/IconService.h"

#include "platform/DotlessMimeNames.h"

#include <QDir>
#include <QHash>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>

namespace {

QString chosenTheme;
bool themeReady = false;

// Pictures drawn here stand in when the machine has no icon theme at all, so
// the tree and list never show blank places where icons belong.
QIcon drawnFallback(const QString& iconName)
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size / 16.0;
        if (iconName.startsWith(QLatin1String("folder")) || iconName == QLatin1String("user-home")) {
            p.setBrush(QColor(0xE8, 0xB8, 0x4A));
            p.setPen(QColor(0x9C, 0x72, 0x1C));
            p.drawRect(QRectF(1 * s, 2 * s, 6 * s, 3 * s));
            p.drawRect(QRectF(1 * s, 4 * s, 14 * s, 10 * s));
        } else if (iconName.startsWith(QLatin1String("drive"))) {
            p.setBrush(QColor(0xB0, 0xB0, 0xB0));
            p.setPen(QColor(0x50, 0x50, 0x50));
            p.drawRect(QRectF(1 * s, 5 * s, 14 * s, 7 * s));
            p.setBrush(QColor(0x30, 0xC0, 0x30));
            p.drawEllipse(QRectF(11 * s, 8 * s, 2 * s, 2 * s));
        } else {
            p.setBrush(Qt::white);
            p.setPen(QColor(0x60, 0x60, 0x60));
            p.drawRect(QRectF(3 * s, 1 * s, 10 * s, 14 * s));
            p.drawLine(QPointF(5 * s, 5 * s), QPointF(11 * s, 5 * s));
            p.drawLine(QPointF(5 * s, 8 * s), QPointF(11 * s, 8 * s));
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Special folders have their own icons in most themes.
QString specialFolderIcon(const QString& path)
{
    static const QHash<QString, QString> special = [] {
        QHash<QString, QString> map;
        const auto add = [&](QStandardPaths::StandardLocation where, const char* name) {
            const QString dir = QStandardPaths::writableLocation(where);
            if (!dir.isEmpty())
                map.insert(QDir::cleanPath(dir), QString::fromLatin1(name));
        };
        add(QStandardPaths::DesktopLocation, "user-desktop");
        add(QStandardPaths::DocumentsLocation, "folder-documents");
        add(QStandardPaths::DownloadLocation, "folder-download");
        add(QStandardPaths::MusicLocation, "folder-music");
        add(QStandardPaths::PicturesLocation, "folder-pictures");
        add(QStandardPaths::MoviesLocation, "folder-videos");
        add(QStandardPaths::HomeLocation, "user-home");
        return map;
    }();
    return special.value(QDir::cleanPath(path));
}

}  // namespace

void IconService::ensureTheme()
{
    if (themeReady)
        return;
    themeReady = true;
    QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString& dataDir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString icons = QDir(dataDir).filePath(QStringLiteral("icons"));
        if (!searchPaths.contains(icons) && QDir(icons).exists())
            searchPaths.append(icons);
    }
    QIcon::setThemeSearchPaths(searchPaths);
    for (const char* theme : {"breeze", "Adwaita", "hicolor"}) {
        const QString name = QString::fromLatin1(theme);
        for (const QString& dir : searchPaths) {
            if (QFile::exists(QDir(dir).filePath(name + QStringLiteral("/index.theme")))) {
                chosenTheme = name;
                break;
            }
        }
        if (!chosenTheme.isEmpty())
            break;
    }
    if (!chosenTheme.isEmpty())
        QIcon::setThemeName(chosenTheme);
}

QString IconService::themeName()
{
    ensureTheme();
    return chosenTheme;
}

QIcon IconService::icon(const QString& iconName)
{
    ensureTheme();
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(iconName);
    if (it != cache.constEnd())
        return *it;
    QIcon icon;
    if (!chosenTheme.isEmpty() && QIcon::hasThemeIcon(iconName))
        icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        icon = drawnFallback(iconName);
    cache.insert(iconName, icon);
    return icon;
}

QString IconService::mimeTypeName(const QString& fileName)
{
    static const QMimeDatabase db;
    static const DotlessMimeNames dotless(db);
    if (!fileName.contains(QLatin1Char('.')))
        return dotless.mimeName(fileName);
    return db.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name();
}

QString IconService::fileIconName(const QString& fileName)
{
    ensureTheme();
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForName(mimeTypeName(fileName));
    // Asking the theme costs a search of its folders: once per MIME type.
    static QHash<QString, QString> iconNameByType;
    const auto known = iconNameByType.constFind(type.name());
    if (known != iconNameByType.constEnd())
        return *known;
    QString iconName = QStringLiteral("text-x-generic");
    if (type.isValid() && !chosenTheme.isEmpty()) {
        if (QIcon::hasThemeIcon(type.iconName()))
            iconName = type.iconName();
        else if (QIcon::hasThemeIcon(type.genericIconName()))
            iconName = type.genericIconName();
    }
    iconNameByType.insert(type.name(), iconName);
    return iconName;
}

QString IconService::folderIconName(const QString& path)
{
    const QString special = specialFolderIcon(path);
    if (!special.isEmpty() && QIcon::hasThemeIcon(special))
        return special;
    return QStringLiteral("folder");
}

QString IconService::openFolderIconName(const QString& path)
{
    const QString special = specialFolderIcon(path);
    if (!special.isEmpty() && QIcon::hasThemeIcon(special))
        return special;
    return QIcon::hasThemeIcon(QStringLiteral("folder-open")) ? QStringLiteral("folder-open")
                                                              : QStringLiteral("folder");
}
