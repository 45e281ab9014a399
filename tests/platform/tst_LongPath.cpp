#include "platform/LongPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_LongPath : public QObject {
    Q_OBJECT
private slots:
    void cutsAtTheFirstMissingComponent()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QDir().mkpath(root + "/Program Files/Sub");
        QCOMPARE(LongPath::resolve(root + "/Program Files/Sub"), root + "/Program Files/Sub/");
        QCOMPARE(LongPath::resolve(root + "/Program Files/nosuch/Sub/"), root + "/Program Files/");
        QCOMPARE(LongPath::resolve("  " + root + "/Program Files/  "), root + "/Program Files/");
        // A file is no folder: the path stops before it.
        QFile(root + "/Program Files/file").open(QIODevice::WriteOnly);
        QCOMPARE(LongPath::resolve(root + "/Program Files/file/x"), root + "/Program Files/");
    }

    void foldsDotsAndSlashes()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QDir().mkpath(root + "/a/b");
        QCOMPARE(LongPath::resolve(root + "//a/./b/../b"), root + "/a/b/");
        QCOMPARE(LongPath::resolve("/"), QStringLiteral("/"));
        QCOMPARE(LongPath::resolve("/.."), QStringLiteral("/"));
    }

    void keepsStoredLetterCase()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QDir().mkpath(root + "/Data");
        QDir().mkpath(root + "/data");
        // Two folders that differ in case are two folders: each keeps its name.
        QCOMPARE(LongPath::resolve(root + "/data"), root + "/data/");
        QCOMPARE(LongPath::resolve(root + "/Data"), root + "/Data/");
        QCOMPARE(LongPath::resolve(root + "/DATA"), root + "/");
    }

    void followsLinksToFolders()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QDir().mkpath(root + "/real");
        QVERIFY(QFile::link(root + "/real", root + "/link"));
        QCOMPARE(LongPath::resolve(root + "/link"), root + "/link/");
        QVERIFY(QFile::link(root + "/gone", root + "/dangling"));
        QCOMPARE(LongPath::resolve(root + "/dangling/x"), root + "/");
    }

    void rejectsRelativeAndEmptyPaths()
    {
        QCOMPARE(LongPath::resolve(QString()), QString());
        QCOMPARE(LongPath::resolve("   "), QString());
        QCOMPARE(LongPath::resolve("relative/path"), QString());
    }
};

QTEST_MAIN(tst_LongPath)
#include "tst_LongPath.moc"
