#include "platform/LenientNumber.h"

#include <QtTest>

// The whole-text number test the dialogs use for typed sizes.
class tst_LenientNumber : public QObject {
    Q_OBJECT
private slots:
    void isNumber()
    {
        for (const char* yes : {"1423", " 1423\t", "-2", "+7", "1.5", ".5", "1e3", "2.5E-1"})
            QVERIFY2(LenientNumber::isNumber(QString::fromUtf8(yes)), yes);
        for (const char* no : {"", " ", "abc", "1423KB", "14 23", "1.2.3", "e3", ".", "-", "1e", "１４２３", "1423\n"})
            QVERIFY2(!LenientNumber::isNumber(QString::fromUtf8(no)), no);
    }
};

QTEST_MAIN(tst_LenientNumber)
#include "tst_LenientNumber.moc"
