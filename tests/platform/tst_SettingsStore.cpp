#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {
const QString kPath = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\BRAMBLE\\Kestrel\\Settings");
}

class tst_SettingsStore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultRootFollowsConfigHome()
    {
        QVERIFY(SettingsStore::defaultRoot().endsWith(QStringLiteral("/kestrel/registry")));
    }

    void createMakesFoldersAndOpenFindsThem()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QCOMPARE(store.openKey(kPath), 0u);
        const auto key = store.createKey(kPath);
        QVERIFY(key != 0);
        QVERIFY(QFileInfo(dir.path() + "/HKEY_LOCAL_MACHINE/SOFTWARE/BRAMBLE/Kestrel/Settings").isDir());
        const auto again = store.openKey(kPath);
        QVERIFY(again != 0);
        QVERIFY(again != key);
        QCOMPARE(store.closeKey(key), long(SettingsStore::Success));
        QCOMPARE(store.closeKey(key), long(SettingsStore::InvalidHandle));
        QCOMPARE(store.closeKey(again), long(SettingsStore::Success));
    }

    void roundTripKeepsEveryByte()
    {
        QTemporaryDir dir;
        const QByteArray odd("a=b\n%20\r\xe3\x81\x82\0tail", 17);
        {
            SettingsStore store(dir.path());
            const auto key = store.createKey(kPath);
            QCOMPARE(store.setValue(key, "MainLeft", QByteArray("1500", 5)), long(SettingsStore::Success));
            QCOMPARE(store.setValue(key, "we=ird name", odd), long(SettingsStore::Success));
            QCOMPARE(store.setValue(key, "MainLeft", QByteArray("2000", 5)), long(SettingsStore::Success));
            QCOMPARE(store.flushKey(key), long(SettingsStore::Success));
            store.closeKey(key);
        }
        SettingsStore reader(dir.path());
        const auto key = reader.openKey(kPath);
        QByteArray data;
        QCOMPARE(reader.queryValue(key, "MainLeft", data, 128), long(SettingsStore::Success));
        QCOMPARE(data, QByteArray("2000", 5));
        QCOMPARE(reader.queryValue(key, "we=ird name", data, 128), long(SettingsStore::Success));
        QCOMPARE(data, odd);
        QCOMPARE(reader.queryValue(key, "MainTop", data, 128), long(SettingsStore::FileNotFound));
        // No temporary file is left next to the values.
        QCOMPARE(QDir(dir.path() + "/HKEY_LOCAL_MACHINE/SOFTWARE/BRAMBLE/Kestrel/Settings")
                     .entryList(QDir::Files | QDir::Hidden),
                 QStringList{".values"});
    }

    void valueLongerThanTheBufferIsNotRead()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        const auto key = store.createKey(kPath);
        store.setValue(key, "Fits", QByteArray(127, 'x') + '\0');
        store.setValue(key, "TooLong", QByteArray(128, 'x') + '\0');
        QByteArray data("untouched");
        QCOMPARE(store.queryValue(key, "Fits", data, 128), long(SettingsStore::Success));
        QCOMPARE(data.size(), 128);
        data = "untouched";
        QCOMPARE(store.queryValue(key, "TooLong", data, 128), long(SettingsStore::MoreData));
        QCOMPARE(data, QByteArray("untouched"));
    }

    void corruptFileReadsAsMissing()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        const auto key = store.createKey(kPath);
        const QString file = dir.path() + "/HKEY_LOCAL_MACHINE/SOFTWARE/BRAMBLE/Kestrel/Settings/.values";
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x01\x02garbage=1\n");
        f.close();
        QByteArray data;
        QCOMPARE(store.queryValue(key, "garbage", data, 128), long(SettingsStore::FileNotFound));
        // Writing over a corrupt file starts it afresh instead of failing.
        QCOMPARE(store.setValue(key, "ViewMode", QByteArray("3", 2)), long(SettingsStore::Success));
        QCOMPARE(store.queryValue(key, "ViewMode", data, 128), long(SettingsStore::Success));
        QCOMPARE(data, QByteArray("3", 2));
    }

    void unreadableFileReadsAsMissing()
    {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        const auto key = store.createKey(kPath);
        store.setValue(key, "MainMax", QByteArray("1", 2));
        const QString file = dir.path() + "/HKEY_LOCAL_MACHINE/SOFTWARE/BRAMBLE/Kestrel/Settings/.values";
        QVERIFY(QFile::setPermissions(file, QFileDevice::WriteOwner));
        QByteArray data;
        QCOMPARE(store.queryValue(key, "MainMax", data, 128), long(SettingsStore::FileNotFound));
    }

    void badKeysAndHandlesAreRefused()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path() + "/registry");
        QCOMPARE(store.createKey("HKEY_LOCAL_MACHINE\\..\\..\\escape"), 0u);
        QCOMPARE(store.createKey("HKEY_LOCAL_MACHINE\\\\Empty"), 0u);
        QCOMPARE(store.createKey("HKEY_LOCAL_MACHINE\\a/b"), 0u);
        QVERIFY(!QFileInfo::exists(dir.path() + "/escape"));
        QByteArray data;
        QCOMPARE(store.setValue(12345, "x", "1"), long(SettingsStore::InvalidHandle));
        QCOMPARE(store.queryValue(0, "x", data, 128), long(SettingsStore::InvalidHandle));
        QCOMPARE(store.flushKey(0), long(SettingsStore::InvalidHandle));
    }

    void rootThatIsAFileGivesNoKey()
    {
        QTemporaryDir dir;
        QFile blocker(dir.path() + "/registry");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore store(dir.path() + "/registry");
        QCOMPARE(store.createKey(kPath), 0u);
        QCOMPARE(store.openKey(kPath), 0u);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
