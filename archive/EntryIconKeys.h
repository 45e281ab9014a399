#pragma once

#include <QHash>
#include <QString>

class ImageList;

// GetEntryIconKeys: the large and small image keys of an icon class, over the
// desktop icon theme. A class gets its icon name from the MIME type its text
// has as a file name ("/" gets the folder icon); the keys are "LICON:" and
// "SICON:" + that name, and the picture is added to each image list once.
class EntryIconKeys {
public:
    struct Keys {
        QString large;
        QString small;
    };

    EntryIconKeys(ImageList& large, ImageList& small) : large_(large), small_(small) {}

    Keys GetEntryIconKeys(const QString& iconClass);

    // The theme's icon name for a class.
    static QString iconName(const QString& iconClass);
    // What of a class decides its icon: "/" for a folder, else the part after
    // its last "/" (a dotless entry name keeps its folders in its class, but
    // docs/README is a README as much as README is).
    static QString typeName(const QString& iconClass);

private:
    ImageList& large_;
    ImageList& small_;
    // Many entries share a type name: the theme is asked once per name.
    QHash<QString, Keys> byClass_;
};
