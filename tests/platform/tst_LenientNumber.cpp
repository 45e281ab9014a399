#include "platform/LenientNumber.h"

#include <QtTest>

// The whole-text number test the dialogs use for typed sizes.
class tst_LenientNumber : public QObject {
    Q_OBJECT
private slots:
    void isNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        for (const char* yes : {"1423", " 1423\t", "-2", "+7", "1.5", ".5", "1e3", "2.5E-1"})
            QTest::newRow(yes) << QString::fromUtf8(yes) << true;
        for (const char* no : {"", " ", "abc", "1423KB", "14 23", "1.2.3", "e3", ".", "-", "1e", "１４２３", "1423\n"})
            QTest::newRow(no) << QString::fromUtf8(no) << false;
    }
    void isNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QCOMPARE(LenientNumber::isNumber(text), number);
    }
};

QTEST_MAIN(tst_LenientNumber)
#include "tst_LenientNumber.moc"
