#include "split/PartName.h"

#include <QtTest>

class tst_PartName : public QObject {
    Q_OBJECT
private slots:
    void base_data();
    void base();
    void number_data();
    void number();
    void hugeSetsKeepEveryNameDistinctAndOrdered();
};

void tst_PartName::base_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "movie.avi" << qint64(3) << "movie_avi_003";
    QTest::newRow("several dots: the last divides") << "a.tar.gz" << qint64(12) << "a.tar_gz_012";
    QTest::newRow("trailing dot: empty ext") << "file." << qint64(3) << "file__003";
    QTest::newRow("leading only dot: empty stem") << ".profile" << qint64(3) << "_profile_003";
    QTest::newRow("no dot: whole stem") << "README" << qint64(2) << "README__002";
    QTest::newRow("underscores survive") << "my_file.txt" << qint64(3) << "my_file_txt_003";
    QTest::newRow("four digits") << "big.iso" << qint64(1474) << "big_iso_1474";
    QTest::newRow("japanese") << QStringLiteral("写真.jpg") << qint64(5) << QStringLiteral("写真_jpg_005");
}

void tst_PartName::base()
{
    QFETCH(QString, file);
    QFETCH(qint64, count);
    QFETCH(QString, expected);
    QCOMPARE(PartName::base(file, count), expected);
}

void tst_PartName::number_data()
{
    QTest::addColumn<qint64>("k");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << qint64(1) << "001";
    QTest::newRow("12") << qint64(12) << "012";
    QTest::newRow("999") << qint64(999) << "999";
    QTest::newRow("1000") << qint64(1000) << "1000";
    QTest::newRow("73688") << qint64(73688) << "73688";
    QTest::newRow("past 32 bits") << qint64(5000000000) << "5000000000";
}

void tst_PartName::number()
{
    QFETCH(qint64, k);
    QFETCH(QString, expected);
    QCOMPARE(PartName::number(k), expected);
}

// A 100 GiB file at the floppy size: 73,688 parts, more than a 16-bit count holds. Every name
// must be distinct and carry the whole count, or a join would mix parts of different sets.
void tst_PartName::hugeSetsKeepEveryNameDistinctAndOrdered()
{
    const qint64 length = qint64(100) << 30;
    const qint64 size = 1457152;
    const qint64 count = (length + size - 1) / size;
    QCOMPARE(count, qint64(73688));
    QCOMPARE(PartName::part("disk.img", count, 1), QStringLiteral("disk_img_73688.001"));
    QCOMPARE(PartName::part("disk.img", count, 999), QStringLiteral("disk_img_73688.999"));
    QCOMPARE(PartName::part("disk.img", count, 1000), QStringLiteral("disk_img_73688.1000"));
    QCOMPARE(PartName::part("disk.img", count, count), QStringLiteral("disk_img_73688.73688"));
    QSet<QString> seen;
    for (qint64 k = 1; k <= count; ++k)
        seen.insert(PartName::part("disk.img", count, k));
    QCOMPARE(qint64(seen.size()), count);
}

QTEST_APPLESS_MAIN(tst_PartName)
#include "tst_PartName.moc"
