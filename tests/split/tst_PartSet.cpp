#include "split/PartName.h"
#include "split/PartSet.h"

#include <QTest>

// Part names as Divide writes them, read back: which names are parts, the set
// listed from any one part, and the name the joined file gets.
class tst_PartSet : public QObject {
    Q_OBJECT

private slots:
    void partNamesAreTakenApartAtTheLastTwoUnderscores_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("number");
        QTest::newRow("plain") << "movie_avi_003.001" << "movie" << "avi" << 3LL << 1LL;
        QTest::newRow("underscores in the name") << "my_file_txt_003.002" << "my_file" << "txt" << 3LL << 2LL;
        QTest::newRow("dots in the stem") << "a.tar_gz_012.012" << "a.tar" << "gz" << 12LL << 12LL;
        QTest::newRow("empty ext") << "file__003.003" << "file" << "" << 3LL << 3LL;
        QTest::newRow("empty stem") << "_profile_003.001" << "" << "profile" << 3LL << 1LL;
        QTest::newRow("four-digit count, small number") << "big_iso_1474.001" << "big" << "iso" << 1474LL << 1LL;
        QTest::newRow("four-digit number") << "big_iso_1474.1000" << "big" << "iso" << 1474LL << 1000LL;
        QTest::newRow("last part of a large set") << "big_iso_1474.1474" << "big" << "iso" << 1474LL << 1474LL;
        QTest::newRow("five digits") << "x_y_73688.73688" << "x" << "y" << 73688LL << 73688LL;
    }
    void partNamesAreTakenApartAtTheLastTwoUnderscores()
    {
        QFETCH(QString, name);
        const std::optional<PartSet::Name> part = PartSet::parse(name);
        QVERIFY(part.has_value());
        QFETCH(QString, stem);
        QFETCH(QString, ext);
        QFETCH(qint64, count);
        QFETCH(qint64, number);
        QCOMPARE(part->stem, stem);
        QCOMPARE(part->ext, ext);
        QCOMPARE(part->count, count);
        QCOMPARE(part->number, number);
        QCOMPARE(part->base, name.left(name.lastIndexOf('.')));
    }

    void otherNamesAreNotParts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("one underscore only") << "a_001.001";
        QTest::newRow("no underscore") << "movie.001";
        QTest::newRow("no dot") << "movie_avi_003";
        QTest::newRow("starts with its only two underscores") << "_003.001";
        QTest::newRow("two-digit count") << "x_y_03.001";
        QTest::newRow("two-digit number") << "x_y_003.01";
        QTest::newRow("signed count") << "x_y_+03.001";
        QTest::newRow("signed number") << "x_y_003.-01";
        QTest::newRow("blank in the count") << "x_y_ 03.001";
        QTest::newRow("blank after the number") << "x_y_003.01 ";
        QTest::newRow("decimal point in the count") << "x_y_3.5.001";
        QTest::newRow("hex count") << "x_y_0x3.001";
        QTest::newRow("full-width digits") << QStringLiteral("x_y_００３.００１");
        QTest::newRow("number zero") << "x_y_003.000";
        QTest::newRow("count zero") << "x_y_000.000";
        QTest::newRow("number beyond the count") << "x_y_003.004";
        QTest::newRow("number not as Divide writes it") << "x_y_003.0001";
        QTest::newRow("absurd count") << "x_y_99999999999999999999999999.001";
        QTest::newRow("count above the limit") << "x_y_1000001.001";
        QTest::newRow("would join into \"..\"") << ".__003.001";
        QTest::newRow("would join into \".\"") << "__003.001";
        QTest::newRow("empty") << "";
    }
    void otherNamesAreNotParts()
    {
        QFETCH(QString, name);
        QVERIFY(!PartSet::parse(name).has_value());
        QCOMPARE(PartSet::outputName(name), QString());
    }

    void isDecimalAcceptsOnlyRunsOfAsciiDigits()
    {
        QVERIFY(PartSet::isDecimal(u"007"));
        QVERIFY(PartSet::isDecimal(u"1474"));
        QVERIFY(!PartSet::isDecimal(u"07"));
        QVERIFY(!PartSet::isDecimal(u"07", 3));
        QVERIFY(PartSet::isDecimal(u"07", 2));
        QVERIFY(!PartSet::isDecimal(u"1e3"));
        QVERIFY(!PartSet::isDecimal(u"  7"));
        QVERIFY(!PartSet::isDecimal(u"7.0"));
        QVERIFY(!PartSet::isDecimal(u"+12"));
        QVERIFY(!PartSet::isDecimal(u"١٢٣"));  // Arabic-Indic digits read as digits elsewhere
    }

    // Whatever Divide names a part, Join reads the same count and number back
    // and gives the file its name again.
    void divideNamesRoundTrip_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("movie.avi") << "movie.avi";
        QTest::newRow("several dots") << "a.tar.gz";
        QTest::newRow("ends in a dot") << "file.";
        QTest::newRow("starts with its only dot") << ".profile";
        QTest::newRow("underscores") << "my_file_2_.txt";
        QTest::newRow("digits and underscores") << "x_001_002.bin";
        QTest::newRow("Japanese") << QStringLiteral("写真_2024.jpeg");
    }
    void divideNamesRoundTrip()
    {
        QFETCH(QString, fileName);
        for (qint64 count : {2LL, 3LL, 12LL, 999LL, 1000LL, 1474LL}) {
            for (qint64 k : {1LL, count / 2 + 1, count}) {
                const QString part = PartName::part(fileName, count, k);
                const std::optional<PartSet::Name> name = PartSet::parse(part);
                QVERIFY2(name.has_value(), qPrintable(part));
                QCOMPARE(name->count, count);
                QCOMPARE(name->number, k);
                QCOMPARE(PartSet::outputName(part), fileName);
            }
        }
    }

    void anyPartListsTheWholeSetInPartOrder()
    {
        const std::optional<PartSet> set = PartSet::fromSelection({"/data/in/movie_avi_003.002"});
        QVERIFY(set.has_value());
        QCOMPARE(set->count(), 3);
        QCOMPARE(set->entries(), (QStringList {"/data/in/movie_avi_003.001", "/data/in/movie_avi_003.002",
                                               "/data/in/movie_avi_003.003"}));
    }

    void largeSetsAreListedWithDividesNumbers()
    {
        const std::optional<PartSet> set = PartSet::fromSelection({"/m/big_iso_1474.1200"});
        QVERIFY(set.has_value());
        const QStringList entries = set->entries();
        QCOMPARE(entries.size(), 1474);
        QCOMPARE(entries.at(0), QStringLiteral("/m/big_iso_1474.001"));
        QCOMPARE(entries.at(998), QStringLiteral("/m/big_iso_1474.999"));
        QCOMPARE(entries.at(999), QStringLiteral("/m/big_iso_1474.1000"));
        QCOMPARE(entries.at(1473), QStringLiteral("/m/big_iso_1474.1474"));
        for (qint64 k = 1; k <= 1474; ++k)
            QCOMPARE(entries.at(k - 1), QStringLiteral("/m/") + PartName::part("big.iso", 1474, k));
    }

    void severalPartsOfOneSetMakeOneSet()
    {
        const std::optional<PartSet> set =
            PartSet::fromSelection({"/d/x_y_004.003", "/d/x_y_004.001", "/d/x_y_004.004"});
        QVERIFY(set.has_value());
        QCOMPARE(set->entries().size(), 4);
        QCOMPARE(set->entries().first(), QStringLiteral("/d/x_y_004.001"));
    }

    void mixedSelectionsAreNotASet()
    {
        // two parts and an unrelated file
        QVERIFY(!PartSet::fromSelection({"/d/x_y_003.001", "/d/x_y_003.002", "/d/notes.txt"}));
        // parts of two different sets: listing one set with the other's count
        // would join the wrong files
        QVERIFY(!PartSet::fromSelection({"/d/x_y_003.001", "/d/z_w_005.002"}));
        QVERIFY(!PartSet::fromSelection({"/d/x_y_003.001", "/d/x_y_005.002"}));
        // the same names in two folders
        QVERIFY(!PartSet::fromSelection({"/d/x_y_003.001", "/e/x_y_003.002"}));
        QVERIFY(!PartSet::fromSelection({}));
    }
};

QTEST_APPLESS_MAIN(tst_PartSet)
#include "tst_PartSet.moc"
