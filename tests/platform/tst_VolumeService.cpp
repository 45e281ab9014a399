#include "platform/VolumeService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <mutex>

class tst_VolumeService : public QObject {
    Q_OBJECT
private:
    static QStringList mountPaths(const QList<VolumeService::Volume>& volumes)
    {
        QStringList out;
        for (const auto& v : volumes)
            out << v.mountPath;
        return out;
    }

private slots:
    void keepsRealVolumesOnly()
    {
        const QByteArray mountInfo =
            "21 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
            "22 21 0:5 / /proc rw - proc proc rw\n"
            "23 21 0:6 / /sys rw - sysfs sysfs rw\n"
            "24 21 0:7 / /dev rw - devtmpfs udev rw\n"
            "25 21 0:8 / /tmp rw - tmpfs tmpfs rw\n"
            "26 21 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
            "27 21 7:0 / /snap/core/1 ro,nodev - squashfs /dev/loop0 ro\n"
            "28 21 7:1 / /mnt/image ro - iso9660 /dev/loop1 ro\n"
            "29 21 8:17 / /media/aki/USB\\040STICK rw,nosuid shared:5 - vfat /dev/sdb1 rw\n"
            "30 21 8:3 /shared /srv/bind rw - ext4 /dev/sda3 rw\n"
            "31 21 0:40 / /mnt/nas rw - nfs4 server:/export rw\n"
            "32 21 0:41 / /home rw - btrfs /dev/sda4 rw\n"
            "33 21 0:42 / /run/user/1000 rw - tmpfs tmpfs rw\n"
            "34 21 0:43 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
            "35 21 7:2 / /mnt/rwloop rw - ext4 /dev/loop2 rw\n"
            "malformed line\n";
        const QList<VolumeService::Volume> volumes = VolumeService::parseMountInfo(mountInfo, "/nonexistent");
        QCOMPARE(mountPaths(volumes),
                 (QStringList {"/", "/home", "/media/aki/USB STICK", "/mnt/nas", "/mnt/rwloop"}));
        QCOMPARE(volumes[0].key, QStringLiteral("/"));
        QCOMPARE(volumes[0].kind, VolumeService::Kind::Root);
        QCOMPARE(volumes[2].key, QStringLiteral("/media/aki/USB STICK/"));
        QCOMPARE(volumes[2].kind, VolumeService::Kind::Removable);
        QCOMPARE(volumes[2].displayName(), QStringLiteral("リムーバブル ディスク (/media/aki/USB STICK)"));
        QCOMPARE(volumes[3].kind, VolumeService::Kind::Network);
        QCOMPARE(volumes[3].displayName(), QStringLiteral("ネットワーク ドライブ (/mnt/nas)"));
        QCOMPARE(volumes[0].displayName(), QStringLiteral("ローカル ディスク (/)"));
    }

    void aContainersOverlayRootStillCounts()
    {
        const QByteArray mountInfo =
            "500 400 0:50 / / rw - overlay overlay rw,lowerdir=/a\n"
            "501 500 8:1 /data/x /etc/hosts rw - ext4 /dev/sda1 rw\n";
        const auto volumes = VolumeService::parseMountInfo(mountInfo, "/nonexistent");
        QCOMPARE(mountPaths(volumes), QStringList {"/"});
    }

    void laterMountOnTheSamePlaceWins()
    {
        const QByteArray mountInfo =
            "1 0 8:2 / / rw - ext4 /dev/sda2 rw\n"
            "2 1 8:17 / /media/x rw - vfat /dev/sdb1 rw\n"
            "3 1 8:33 / /media/x rw - exfat /dev/sdc1 rw\n";
        const auto volumes = VolumeService::parseMountInfo(mountInfo, "/nonexistent");
        QCOMPARE(volumes.size(), 2);
        QCOMPARE(volumes[1].device, QStringLiteral("/dev/sdc1"));
    }

    void labelsComeFromTheLabelFolder()
    {
        QTemporaryDir labels;
        // udev escapes blanks in label names as \x20.
        QVERIFY(QFile::link("/dev/null", labels.path() + "/MY\\x20DISK"));
        const QByteArray mountInfo = "1 0 8:2 / / rw - ext4 /dev/null rw\n";
        const auto volumes = VolumeService::parseMountInfo(mountInfo, labels.path());
        QCOMPARE(volumes[0].label, QStringLiteral("MY DISK"));
        QCOMPARE(volumes[0].displayName(), QStringLiteral("MY DISK (/)"));
    }

    void theRunningSystemHasARoot()
    {
        const auto volumes = VolumeService::volumes();
        QVERIFY(!volumes.isEmpty());
        QCOMPARE(volumes[0].key, QStringLiteral("/"));
        for (const auto& v : volumes)
            QVERIFY2(v.key.endsWith('/'), qPrintable(v.key));
    }

    void probeTellsReadableFromNot()
    {
        QTemporaryDir dir;
        QCOMPARE(VolumeService::probe(dir.path()), 0);
        QCOMPARE(VolumeService::probe(dir.path() + "/missing"), ENOENT);
        QFile file(dir.path() + "/file");
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(VolumeService::probe(file.fileName()), ENOTDIR);
        QVERIFY(!VolumeService::isNetworkPath(dir.path()));
    }

    void aHangingVolumeIsNotReadyWithoutHoldingTheCaller()
    {
        std::mutex gate;
        gate.lock();  // the "server" answers only when the test opens the gate
        const auto hangs = [&gate](const QString&) {
            std::lock_guard<std::mutex> wait(gate);
            return 0;
        };
        QCOMPARE(VolumeService::probe("/mnt/dead", 50, hangs), ETIMEDOUT);
        // While that check still hangs, asking again answers at once, without
        // piling up more stuck checks.
        int calls = 0;
        QCOMPARE(VolumeService::probe("/mnt/dead", 50, [&](const QString&) { ++calls; return 0; }),
                 ETIMEDOUT);
        QCOMPARE(calls, 0);
        // Another path is not held up by it.
        QCOMPARE(VolumeService::probe("/mnt/other", 5000, [](const QString&) { return 0; }), 0);
        // Once the server answers, the path is asked again.
        gate.unlock();
        QTRY_COMPARE(VolumeService::probe("/mnt/dead", 5000, [](const QString&) { return ENOMEDIUM; }),
                     ENOMEDIUM);
    }
};

QTEST_MAIN(tst_VolumeService)
#include "tst_VolumeService.moc"
