#include "platform/VolumeService.h"

#include "platform/DirectoryReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

const QSet<QString>& networkTypes()
{
    static const QSet<QString> types = {
        QStringLiteral("nfs"), QStringLiteral("nfs4"), QStringLiteral("cifs"),
        QStringLiteral("smb3"), QStringLiteral("smbfs"), QStringLiteral("ncpfs"),
        QStringLiteral("afs"), QStringLiteral("9p"), QStringLiteral("ceph"),
        QStringLiteral("glusterfs"), QStringLiteral("davfs"), QStringLiteral("fuse.sshfs"),
        QStringLiteral("fuse.rclone"), QStringLiteral("fuse.glusterfs"), QStringLiteral("fuse.davfs2"),
    };
    return types;
}

// Places where the system keeps its own mounts, which are no user's drives.
bool isSystemPlace(const QString& mountPath)
{
    if (mountPath.startsWith(QLatin1String("/run/media/")))
        return false;
    static const char* const places[] = {"/proc", "/sys", "/dev", "/run", "/snap", "/boot",
                                         "/var/lib", "/var/snap", "/efi"};
    for (const char* place : places) {
        const QLatin1String p(place);
        if (mountPath == p || mountPath.startsWith(p + QLatin1Char('/')))
            return true;
    }
    return false;
}

// mountinfo and by-label names escape blanks and the like as \040 (octal) or \x20.
QString unescape(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() + 0 && text[i + 1] == 'x') {
            bool ok = false;
            const int v = text.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(static_cast<char>(v));
                i += 3;
                continue;
            }
        }
        if (text[i] == '\\' && i + 3 < text.size()) {
            bool ok = false;
            const int v = text.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(v));
                i += 3;
                continue;
            }
        }
        out.append(text[i]);
    }
    return QFile::decodeName(out);
}

QString labelOf(const QString& device, const QString& labelsDir)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return {};
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir dir(labelsDir);
    for (const QString& name : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (QFileInfo(dir.filePath(name)).canonicalFilePath() == target)
            return unescape(QFile::encodeName(name));
    }
    return {};
}

bool isRemovableDevice(const QString& device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (!target.startsWith(QLatin1String("/dev/")))
        return false;
    // /sys/class/block/sdb1 is a partition of sdb; "removable" sits on the disk.
    QString sys = QFileInfo(QStringLiteral("/sys/class/block/") + target.mid(5)).canonicalFilePath();
    for (int up = 0; up < 2 && !sys.isEmpty(); ++up) {
        QFile f(sys + QStringLiteral("/removable"));
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed() == "1";
        sys = QFileInfo(sys).path();
    }
    return false;
}

}  // namespace

QString VolumeService::Volume::displayName() const
{
    QString name = label;
    if (name.isEmpty()) {
        switch (kind) {
        case Kind::Network: name = QStringLiteral("ネットワーク ドライブ"); break;
        case Kind::Removable: name = QStringLiteral("リムーバブル ディスク"); break;
        case Kind::Root:
        case Kind::Disk: name = QStringLiteral("ローカル ディスク"); break;
        }
    }
    return name + QStringLiteral(" (") + mountPath + QLatin1Char(')');
}

QString VolumeService::Volume::iconName() const
{
    switch (kind) {
    case Kind::Network: return QStringLiteral("folder-remote");
    case Kind::Removable: return QStringLiteral("drive-removable-media");
    case Kind::Root:
    case Kind::Disk: break;
    }
    return QStringLiteral("drive-harddisk");
}

QList<VolumeService::Volume> VolumeService::parseMountInfo(const QByteArray& mountInfo,
                                                          const QString& labelsDir)
{
    QList<Volume> found;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const int dash = static_cast<int>(fields.indexOf("-"));
        if (dash < 6 || dash + 2 >= fields.size())
            continue;
        const QString root = unescape(fields[3]);
        const QString mountPath = unescape(fields[4]);
        const QByteArray options = fields[5];
        const QString fsType = QString::fromLatin1(fields[dash + 1]);
        const QString source = unescape(fields[dash + 2]);
        const bool readOnly = options.split(',').contains("ro");

        Volume v;
        v.mountPath = mountPath;
        v.key = mountPath == QLatin1String("/") ? mountPath : mountPath + QLatin1Char('/');
        v.device = source;
        v.fsType = fsType;
        v.readOnly = readOnly;
        if (mountPath == QLatin1String("/")) {
            v.kind = Kind::Root;  // whatever it is (a container's overlay too)
        } else {
            if (root != QLatin1String("/") || isSystemPlace(mountPath))
                continue;  // a bind mount of a sub-folder, or the system's own
            if (networkTypes().contains(fsType)) {
                v.kind = Kind::Network;
            } else if (source.startsWith(QLatin1String("/dev/"))) {
                const bool loop = source.startsWith(QLatin1String("/dev/loop"));
                if (fsType == QLatin1String("squashfs") || (loop && readOnly))
                    continue;  // packaged images, not drives
                const bool mediaPlace = mountPath.startsWith(QLatin1String("/media/")) ||
                                        mountPath.startsWith(QLatin1String("/run/media/"));
                v.kind = mediaPlace || isRemovableDevice(source) ? Kind::Removable : Kind::Disk;
            } else {
                continue;  // proc, tmpfs, overlay and the other pseudo file systems
            }
        }
        if (v.kind != Kind::Network)
            v.label = labelOf(source, labelsDir);
        // A later mount on the same place hides the earlier one.
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [&](const Volume& o) { return o.mountPath == mountPath; }),
                    found.end());
        found.append(v);
    }
    std::stable_sort(found.begin(), found.end(), [](const Volume& a, const Volume& b) {
        if ((a.kind == Kind::Root) != (b.kind == Kind::Root))
            return a.kind == Kind::Root;
        return a.mountPath < b.mountPath;
    });
    return found;
}

QList<VolumeService::Volume> VolumeService::volumes()
{
    // /proc never blocks, whatever state the mounted volumes are in.
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    QByteArray text;
    if (f.open(QIODevice::ReadOnly))
        text = f.readAll();
    QList<Volume> list = parseMountInfo(text);
    if (list.isEmpty() || list.first().kind != Kind::Root) {
        Volume root;
        root.mountPath = root.key = QStringLiteral("/");
        root.kind = Kind::Root;
        list.prepend(root);
    }
    return list;
}

bool VolumeService::isNetworkPath(const QString& path)
{
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString best;
    bool network = false;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const int dash = static_cast<int>(fields.indexOf("-"));
        if (dash < 6 || dash + 1 >= fields.size())
            continue;
        QString mount = unescape(fields[4]);
        if (!mount.endsWith(QLatin1Char('/')))
            mount += QLatin1Char('/');
        const QString probePath = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
        if (probePath.startsWith(mount) && mount.size() >= best.size()) {
            best = mount;
            network = networkTypes().contains(QString::fromLatin1(fields[dash + 1]));
        }
    }
    return network;
}

namespace {

// A probe that runs aside, so that a dead server cannot hold the window.
struct PendingProbe {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int result = 0;
};

std::mutex stuckMutex;
QSet<QString> stuckPaths;  // probes still hanging in the file system

}  // namespace

int VolumeService::probe(const QString& path, int timeoutMs)
{
    return probe(path, timeoutMs, [](const QString& folder) { return DirectoryReader::probe(folder); });
}

int VolumeService::probe(const QString& path, int timeoutMs,
                         const std::function<int(const QString&)>& check)
{
    {
        std::lock_guard<std::mutex> lock(stuckMutex);
        if (stuckPaths.contains(path))
            return ETIMEDOUT;
    }
    auto pending = std::make_shared<PendingProbe>();
    std::thread([pending, path, check] {
        const int result = check(path);
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            pending->finished = true;
            pending->result = result;
        }
        pending->done.notify_one();
        std::lock_guard<std::mutex> lock(stuckMutex);
        stuckPaths.remove(path);
    }).detach();

    std::unique_lock<std::mutex> lock(pending->mutex);
    if (pending->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return pending->finished; }))
        return pending->result;
    std::lock_guard<std::mutex> stuckLock(stuckMutex);
    stuckPaths.insert(path);
    return ETIMEDOUT;
}
