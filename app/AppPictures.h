#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures, drawn in code so they stay sharp and need no
// files: the 16 by 16 toolbar pictures (tbImageList, by key), the splash logo
// and the window icon.
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
