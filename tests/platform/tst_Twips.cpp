#include "platform/Twips.h"

#include <QtTest>
#include <limits>

class tst_Twips : public QObject {
    Q_OBJECT

private slots:
    void screenFactor()
    {
        // The offscreen screen has 96 logical dots per inch: 15 twips a pixel.
        QCOMPARE(Twips::perPixelX(), 15.0);
        QCOMPARE(Twips::perPixelY(), 15.0);
        Twips::overridePerPixel(15);
        QCOMPARE(Twips::toPixelsX(1500), 100);
        QCOMPARE(Twips::toPixelsX(7000), 467);   // 466.67 rounds to the nearest pixel
        QCOMPARE(Twips::toPixelsY(-1000), -67);
        QCOMPARE(Twips::fromPixelsX(200), 3000.0);
        Twips::overridePerPixel(0);
    }

    void absurdValuesStayWithinAWindowSystemsReach()
    {
        // Placement read from a hand-edited store must not overflow int.
        const int huge = Twips::toPixelsX(1e30);
        QVERIFY(huge > 0 && huge <= (1 << 24));
        QVERIFY(Twips::toPixelsX(-std::numeric_limits<double>::infinity()) < 0);
        QVERIFY(Twips::toPixelsY(std::numeric_limits<double>::infinity()) > 0);
    }
};

QTEST_MAIN(tst_Twips)
#include "tst_Twips.moc"
