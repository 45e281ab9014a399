#include "platform/ProgressWindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_ProgressWindow : public QObject {
    Q_OBJECT

private slots:
    void quickWorkShowsNothing()
    {
        QWidget owner;
        ProgressWindow progress(&owner);
        progress.start(QStringLiteral("コピー"), 100);
        QVERIFY(progress.report(QStringLiteral("a.txt"), 50));
        QVERIFY(!progress.isVisible());
        progress.finish();
        QVERIFY(!progress.isVisible());
    }

    // Long work brings the window up with the current item; its Cancel button
    // makes every later report say stop.
    void cancelStopsTheWork()
    {
        QWidget owner;
        owner.show();
        ProgressWindow progress(&owner);
        progress.start(QStringLiteral("分割"), 3'000'000'000LL);
        QElapsedTimer waited;
        waited.start();
        while (!progress.isVisible() && waited.elapsed() < 10'000)
            QVERIFY(progress.report(QStringLiteral("big_iso_003.002 (2/3)"), 2'000'000'000LL));
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.windowTitle(), QStringLiteral("分割"));
        QCOMPARE(progress.findChild<QLabel*>(QStringLiteral("lblItem"))->text(),
                 QStringLiteral("big_iso_003.002 (2/3)"));

        progress.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        QVERIFY(!progress.report(QStringLiteral("big_iso_003.002 (2/3)"), 2'100'000'000LL));
        QVERIFY(!progress.report(QStringLiteral("big_iso_003.003 (3/3)"), 2'200'000'000LL));
        progress.finish();
        QVERIFY(!progress.isVisible());
    }

    // The next piece of work of the same command shows the window at once
    // instead of leaving it away for another half second.
    void aWindowOnceShownComesBackAtOnce()
    {
        QWidget owner;
        ProgressWindow progress(&owner);
        progress.start(QStringLiteral("コピー"), 10);
        QElapsedTimer waited;
        waited.start();
        while (!progress.isVisible() && waited.elapsed() < 10'000)
            progress.report(QStringLiteral("a"), 1);
        progress.finish();
        QVERIFY(!progress.isVisible());
        progress.start(QStringLiteral("コピー"), 10);
        QVERIFY(progress.isVisible());
        progress.finish();
    }

    void escapeCancelsToo()
    {
        QWidget owner;
        ProgressWindow progress(&owner);
        progress.start(QStringLiteral("コピー"), 0);
        QTest::keyClick(&progress, Qt::Key_Escape);
        QVERIFY(progress.cancelled());
        QVERIFY(!progress.report(QStringLiteral("a"), 1));
    }

    void sizesBeyondFourGigabytes()
    {
        QCOMPARE(ProgressWindow::bytesText(0, 0), QStringLiteral("0 bytes"));
        QCOMPARE(ProgressWindow::bytesText(1'500'000, 5'000'000'000LL), QStringLiteral("1.5 MB / 5.0 GB"));
    }
};

QTEST_MAIN(tst_ProgressWindow)
#include "tst_ProgressWindow.moc"
