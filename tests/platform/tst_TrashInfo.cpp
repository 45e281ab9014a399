#include "platform/TrashInfo.h"

#include <QTest>

class tst_TrashInfo : public QObject {
    Q_OBJECT
private slots:
    void encodesWhatAUriPathMayNotHold()
    {
        QCOMPARE(TrashInfo::encodePath("/home/aki/My Notes/a-b_c.d~e"),
                 QByteArray("/home/aki/My%20Notes/a-b_c.d~e"));
        // A literal "%" must not read back as an escape.
        QCOMPARE(TrashInfo::encodePath("/100%/x%41"), QByteArray("/100%25/x%2541"));
        QCOMPARE(TrashInfo::encodePath(QStringLiteral("/メモ.txt").toUtf8()),
                 QByteArray("/%E3%83%A1%E3%83%A2.txt"));
        // Reserved characters and line breaks cannot break the key=value line.
        QCOMPARE(TrashInfo::encodePath("/a\nb#c?d&e=f+g"),
                 QByteArray("/a%0Ab%23c%3Fd%26e%3Df%2Bg"));
    }

    void decodingGivesBackEveryByte()
    {
        QByteArray all("/");
        for (int b = 1; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(TrashInfo::decodePath(TrashInfo::encodePath(all)), all);
        // Lower-case escapes are read too; broken ones are kept as written.
        QCOMPARE(TrashInfo::decodePath("/a%2fb%e3%83%a1"), QByteArray("/a/b\xE3\x83\xA1"));
        QCOMPARE(TrashInfo::decodePath("/x%2"), QByteArray("/x%2"));
        QCOMPARE(TrashInfo::decodePath("/x%zz%"), QByteArray("/x%zz%"));
    }

    void fileHoldsGroupPathAndLocalDate()
    {
        const QDateTime when(QDate(2024, 3, 9), QTime(14, 5, 31));
        QCOMPARE(TrashInfo::contents("/home/aki/a b.txt", when),
                 QByteArray("[Trash Info]\nPath=/home/aki/a%20b.txt\nDeletionDate=2024-03-09T14:05:31\n"));
        // Afternoon hours are not written as 12-hour clock times.
        const QDateTime late(QDate(2024, 12, 31), QTime(23, 59, 58));
        QVERIFY(TrashInfo::contents("x", late).endsWith("DeletionDate=2024-12-31T23:59:58\n"));
    }

    void pathIsReadFromTheTrashInfoGroupOnly()
    {
        QCOMPARE(TrashInfo::pathOf(TrashInfo::contents("/a b/%.txt", QDateTime::currentDateTime())),
                 QByteArray("/a b/%.txt"));
        QCOMPARE(TrashInfo::pathOf("[Other]\nPath=/wrong\n[Trash Info]\r\nPath=/right\r\n"),
                 QByteArray("/right"));
        QCOMPARE(TrashInfo::pathOf("Path=/outside\n"), QByteArray());
    }
};

QTEST_GUILESS_MAIN(tst_TrashInfo)
#include "tst_TrashInfo.moc"
