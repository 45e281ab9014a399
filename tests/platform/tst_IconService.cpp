#include "platform/IconService.h"

#include <QMimeDatabase>
#include <QTest>

class tst_IconService : public QObject {
    Q_OBJECT
private slots:
    void picksAnInstalledTheme()
    {
        // Debian here has Adwaita; whatever is picked must be one of the three.
        const QString theme = IconService::themeName();
        QVERIFY(theme.isEmpty() || QStringList({"breeze", "Adwaita", "hicolor"}).contains(theme));
    }

    void namesWithoutADotGetTheDatabasesType()
    {
        // Such names skip QMimeDatabase for speed; the answer must not change.
        const QMimeDatabase db;
        const QStringList names = {"README", "readme", "README_first", "Makefile", "makefile",
                                   "GNUmakefile", "notes~", "core", "COPYING", "ChangeLog",
                                   "file123", "configure", "x,v", "INSTALL", "a%"};
        for (const QString& name : names)
            QCOMPARE(IconService::mimeTypeName(name),
                     db.mimeTypeForFile(name, QMimeDatabase::MatchExtension).name());
        QCOMPARE(IconService::mimeTypeName("a.txt"), QStringLiteral("text/plain"));
    }

    void everyIconTheProgramUsesExists()
    {
        for (const char* name : {"folder", "folder-open", "drive-harddisk", "drive-removable-media",
                                 "folder-remote", "text-x-generic", "no-such-icon-name"})
            QVERIFY2(!IconService::icon(QString::fromLatin1(name)).isNull(), name);
        QVERIFY(!IconService::icon(IconService::fileIconName("photo.jpg")).isNull());
        QVERIFY(!IconService::icon(IconService::fileIconName("archive.lzh")).isNull());
    }

    void fileIconsFollowTheType()
    {
        if (IconService::themeName().isEmpty())
            QSKIP("no icon theme installed");
        QCOMPARE(IconService::fileIconName("a.txt"), IconService::fileIconName("B.TXT"));
        QVERIFY(IconService::fileIconName("a.png") != IconService::fileIconName("a.txt"));
        QCOMPARE(IconService::folderIconName("/nowhere/x"), QStringLiteral("folder"));
    }
};

QTEST_MAIN(tst_IconService)
#include "tst_IconService.moc"
