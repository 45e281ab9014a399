#pragma once

#include <QString>

// The archive path and archive type shared by Extract and the viewer: the path
// is set by Extract and kept between commands (empty at start); the type is
// the upper-cased text after the path's last "." ("LZH", "ZIP", "CAB" or
// anything else), set when the viewer loads. frmMain owns the one instance.
struct ArchiveState {
    QString archivePath;
    QString archiveType;

    // The type of an archive path: the text after its last ".", upper-cased;
    // empty without a ".".
    static QString typeOf(const QString& path)
    {
        const qsizetype dot = path.lastIndexOf(u'.');
        return dot < 0 ? QString() : path.mid(dot + 1).toUpper();
    }
};
