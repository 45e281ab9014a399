#pragma once

#include <QList>
#include <QString>

#include <functional>

// The volumes a user would call drives: the root file system, then the
// mounted block-device volumes (disks, USB sticks) and network file systems.
// Pseudo file systems, bind mounts of sub-folders and read-only loop images
// (snaps) are left out.
class VolumeService {
public:
    enum class Kind { Root, Disk, Removable, Network };

    struct Volume {
        QString mountPath;  // "/", "/media/aki/USB" (no trailing "/" except for "/")
        QString key;        // mountPath with a trailing "/": the tree key
        QString device;     // "/dev/sdb1", "server:/export"
        QString fsType;     // "ext4", "nfs4" ...
        QString label;      // the volume label, empty when it has none
        Kind kind = Kind::Disk;
        bool readOnly = false;
        // The name shown in the tree: the label, else a plain description,
        // then the mount path in brackets: "USBDISK (/media/aki/USBDISK)".
        QString displayName() const;
        // The icon name of the desktop theme for this kind of volume.
        QString iconName() const;
    };

    // The volumes of the running system, "/" first, then by mount path.
    static QList<Volume> volumes();
    // The volumes described by a mountinfo text (the format of
    // /proc/self/mountinfo); labels come from `labelsDir` (/dev/disk/by-label).
    static QList<Volume> parseMountInfo(const QByteArray& mountInfo,
                                        const QString& labelsDir = QStringLiteral("/dev/disk/by-label"));

    // Whether the folder (a volume root or any folder) can be read: 0 when it
    // can, else an errno (ENOMEDIUM, EIO, ETIMEDOUT ...). On a network volume
    // the check runs aside and gives ETIMEDOUT after `timeoutMs`, so a dead
    // server never freezes the window; while such a check is still stuck, the
    // same path answers ETIMEDOUT at once.
    static int probe(const QString& path, int timeoutMs = 1500);
    // The same with another check in place of reading the folder (tests give
    // one that hangs).
    static int probe(const QString& path, int timeoutMs,
                     const std::function<int(const QString&)>& check);
    // Whether the path lies on a network file system (by the mount table).
    static bool isNetworkPath(const QString& path);
};
