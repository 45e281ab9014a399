#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures: the 16 by 16 toolbar pictures (tbImageList, by
// key), drawn in code, and the application icon of dist/icons (compiled in),
// which is the splash logo and the window icon.
class AppPictures {
public:
    // Keys: Open, UpLevel, NewFolder, Compress, Extract, Cut, Copy, Paste,
    // Dustbox, Delete, Divide, Join, Property, Largeico, Smallico, Listico,
    // Reportico, Exit.
    static const QHash<QString, QIcon>& tbImageList();
    static QPixmap toolbarPicture(const QString& key);
    static QPixmap logo(int size);
    static QIcon windowIcon();
};
