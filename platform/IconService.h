#pragma once

#include <QIcon>
#include <QString>

// The desktop icon theme as the program's source of pictures. The icon name
// (a freedesktop.org name such as "folder" or "text-plain") stands where
// Windows has a system image index: the image key of a picture is
// "ICON:" + its icon name.
class IconService {
public:
    // Sets up the theme once: adds every <XDG data dir>/icons to the search
    // path and picks an installed theme (breeze, Adwaita, then hicolor).
    static void ensureTheme();
    // The theme in use (empty when none was found: bundled pictures only).
    static QString themeName();

    // The icon of a name; falls back to the bundled pictures, never null for
    // the names the program uses ("folder", "folder-open", "drive-harddisk",
    // "text-x-generic", "application-x-executable" ...).
    static QIcon icon(const QString& iconName);

    // The icon name for a file by its NAME only (MIME type by extension, no
    // content read): the type's icon if the theme has it, else its generic
    // icon, else "text-x-generic".
    static QString fileIconName(const QString& fileName);
    // The MIME type name of a file by its name only.
    static QString mimeTypeName(const QString& fileName);
    // Folder icons, closed and open; special folders (home, desktop ...) get
    // their own where the theme has them.
    static QString folderIconName(const QString& path);
    static QString openFolderIconName(const QString& path);
};
