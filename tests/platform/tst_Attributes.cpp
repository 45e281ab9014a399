#include "platform/Attributes.h"
#include "platform/DirectoryReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace Attributes;

class tst_Attributes : public QObject {
    Q_OBJECT
private:
    static struct stat fileStat(unsigned uid, unsigned gid, mode_t mode)
    {
        struct stat st {};
        st.st_uid = uid;
        st.st_gid = gid;
        st.st_mode = mode;
        return st;
    }
    static Identity user(unsigned uid, unsigned gid, std::initializer_list<unsigned> groups = {})
    {
        Identity who;
        who.uid = uid;
        who.gid = gid;
        for (unsigned g : groups)
            who.supplementary[who.supplementaryCount++] = g;
        return who;
    }

private slots:
    void lettersInFixedOrder()
    {
        QCOMPARE(letters(0), QString());
        QCOMPARE(letters(Directory), QString());
        QCOMPARE(letters(ReadOnly | Hidden | Archive), QStringLiteral("RHA"));
        QCOMPARE(letters(Compressed | System | ReadOnly), QStringLiteral("RSC"));
        QCOMPARE(letters(ReadOnly | Hidden | System | Archive | Temporary | Compressed | Directory),
                 QStringLiteral("RHSATC"));
    }

    void readOnlyMeansThisUserMayNotWrite()
    {
        const Identity aki = user(1000, 1000, {27});
        QCOMPARE(fromStat("f", fileStat(1000, 1000, S_IFREG | 0644), aki, false), 0u);
        QCOMPARE(fromStat("f", fileStat(1000, 1000, S_IFREG | 0444), aki, false), ReadOnly);
        // Someone else's file: the group bits count when the user is in the group.
        QCOMPARE(fromStat("f", fileStat(0, 27, S_IFREG | 0664), aki, false), 0u);
        QCOMPARE(fromStat("f", fileStat(0, 0, S_IFREG | 0664), aki, false), ReadOnly);
        QCOMPARE(fromStat("f", fileStat(0, 0, S_IFREG | 0666), aki, false), 0u);
        // The owner's bits decide for the owner, even when others may write.
        QCOMPARE(fromStat("f", fileStat(1000, 0, S_IFREG | 0466), aki, false), ReadOnly);
        // root writes anything, except on a read-only volume.
        const Identity root = user(0, 0);
        QCOMPARE(fromStat("f", fileStat(1000, 1000, S_IFREG | 0444), root, false), 0u);
        QCOMPARE(fromStat("f", fileStat(1000, 1000, S_IFREG | 0644), root, true), ReadOnly);
    }

    void hiddenSystemAndFolderBits()
    {
        const Identity root = user(0, 0);
        QCOMPARE(fromStat(".profile", fileStat(0, 0, S_IFREG | 0644), root, false), Hidden);
        QCOMPARE(fromStat("..x", fileStat(0, 0, S_IFDIR | 0755), root, false), Hidden | Directory);
        QCOMPARE(fromStat("fifo", fileStat(0, 0, S_IFIFO | 0644), root, false), System);
        QCOMPARE(fromStat("sock", fileStat(0, 0, S_IFSOCK | 0644), root, false), System);
        QCOMPARE(fromStat("sda", fileStat(0, 0, S_IFBLK | 0644), root, false), System);
        QCOMPARE(fromStat("null", fileStat(0, 0, S_IFCHR | 0666), root, false), System);
    }

    void ofPathReadsTheDisk()
    {
        QTemporaryDir tmp;
        bool exists = true;
        QCOMPARE(ofPath(tmp.path() + "/missing", &exists), 0u);
        QVERIFY(!exists);
        QDir().mkpath(tmp.path() + "/.hidden");
        QCOMPARE(ofPath(tmp.path() + "/.hidden/", &exists) & (Hidden | Directory), Hidden | Directory);
        QVERIFY(exists);
        QVERIFY(::mkfifo(QFile::encodeName(tmp.path() + "/pipe").constData(), 0644) == 0);
        QCOMPARE(ofPath(tmp.path() + "/pipe") & System, System);
        QCOMPARE(ofPath("/dev/null") & System, System);
    }

    void readerListsEverythingOnce()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QDir().mkpath(root + "/sub");
        QDir().mkpath(root + "/.hid");
        QFile(root + "/file").open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(root + "/sub", root + "/tosub"));
        QVERIFY(QFile::link(root + "/none", root + "/dangling"));
        QStringList folders, files;
        const int error = DirectoryReader::forEach(root, [&](const DirectoryReader::Entry& e) {
            (e.isFolder ? folders : files) << QString::fromUtf8(e.name);
            QCOMPARE(bool(e.attributes & Directory), e.isFolder);
        });
        QCOMPARE(error, 0);
        folders.sort();
        files.sort();
        QCOMPARE(folders, (QStringList {".hid", "sub", "tosub"}));
        QCOMPARE(files, (QStringList {"dangling", "file"}));

        QStringList names;
        QCOMPARE(DirectoryReader::subfolders(root, names), 0);
        names.sort();
        QCOMPARE(names, (QStringList {".hid", "sub", "tosub"}));
        QVERIFY(DirectoryReader::hasSubfolder(root));
        QVERIFY(!DirectoryReader::hasSubfolder(root + "/sub"));
        QCOMPARE(DirectoryReader::forEach(root + "/missing", [](const DirectoryReader::Entry&) {}), ENOENT);
        QCOMPARE(DirectoryReader::probe(root + "/sub"), 0);
    }
};

QTEST_MAIN(tst_Attributes)
#include "tst_Attributes.moc"
