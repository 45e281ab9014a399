#pragma once

#include <QString>
#include <QStringList>

// What the compression dialog's OK button hands to a builder: the base folder
// the targets are stored relative to, and the targets cut and completed for the
// command line. Made afresh from the command's targets at every press of OK.
class CompressPlan {
public:
    // cmbDirMethod: 0 "相対" (relative to the base folder), 1 "絶対" (full paths).
    enum DirMethod { Relative = 0, Absolute = 1 };

    // `targets` are full paths, folders ending with "/", as the command collected
    // them; `currentPath` ends with "/". `atDriveRoot`: the current path is the
    // top of a volume ("/" or a mount path such as "/media/aki/USB/").
    static CompressPlan make(const QStringList& targets, int dirMethod, bool listClicked,
                             const QString& currentPath, bool atDriveRoot);

    // Several targets, or a name that cannot stand inside "..." on a command
    // line (NamesArgument::needsListFile), go to the library through an "@" list file.
    bool needsListFile() const;

    // The folders whose contents the library will pack (a target "sub/*.*" packs
    // base + "sub/"): an archive set aside for replacing must stay out of them.
    QStringList packedFolders() const;

    QString base;          // ends with "/"; empty in absolute mode
    QStringList targets;   // relative to `base`, or full paths when it is empty

private:
    static QString baseFolder(bool listClicked, const QString& currentPath, bool atDriveRoot);
};
