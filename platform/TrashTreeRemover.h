#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>
#include <sys/types.h>

// Deletes an entry and everything below it for good: the trash's emptying and
// the permanent deletion of what no trash can take.
//
// It works on open folder descriptors and never follows a symbolic link, so a
// link inside the tree (or one swapped in while it runs) is removed as a link
// and what it points at is left alone. It stays on the volume of the entry:
// a folder with another volume (or a bind mount) on it is reported, not entered.
// Folders the user owns but may not write (read-only folders) are made
// writable first, since their contents could not be removed otherwise.
class TrashTreeRemover {
public:
    // Called before each entry is removed with its path as shown to the user
    // and the bytes of the files met so far (this one included); returning
    // false stops the work (the user cancelled).
    using Tick = std::function<bool(const QString& shownPath, qint64 bytes)>;

    explicit TrashTreeRemover(Tick tick = {});

    // Removes `name` of the open folder `parentFd`; `shownPath` is its full
    // path for reports. True when it is gone.
    bool remove(int parentFd, const QByteArray& name, const QString& shownPath);
    // The same for a full path.
    bool removePath(const QString& path);

    // The names of an open folder ("." and ".." left out), read in full;
    // `error` is set when the reading failed part-way.
    static QList<QByteArray> namesIn(int dirFd, int* error);

    // Whether `name` of the open folder `dirFd` (empty: `dirFd` itself) has
    // a volume mounted on it, bind mounts of the same volume included.
    static bool isMountPoint(int dirFd, const QByteArray& name);

    bool cancelled() const { return cancelled_; }
    // One line per entry that could not be removed: "path: reason".
    const QStringList& failures() const { return failures_; }

private:
    bool removeEntry(int parentFd, const QByteArray& name, const QString& shownPath, dev_t volume);
    bool removeFolder(int parentFd, const QByteArray& name, const QString& shownPath, dev_t volume);
    bool fail(const QString& shownPath, int error);

    Tick tick_;
    bool cancelled_ = false;
    qint64 bytes_ = 0;
    QStringList failures_;
};
