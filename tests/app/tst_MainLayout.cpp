#include "AppTestSupport.h"

#include "app/PaneLayout.h"
#include "app/WindowPlacement.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QtTest>

// The pane arithmetic on a real window. Ten twips a pixel makes every length
// of the layout a whole number of pixels, so the checks are exact.
class tst_MainLayout : public QObject {
    Q_OBJECT

    SettingsSandbox* box_ = nullptr;
    ScriptedPrompter* prompter_ = nullptr;
    frmMain* w_ = nullptr;

    static double tw(int px) { return px * 10.0; }
    double left(QWidget* c) const { return tw(c->x()); }
    double top(QWidget* c) const { return tw(c->y()); }
    double width(QWidget* c) const { return tw(c->width()); }
    double height(QWidget* c) const { return tw(c->height()); }

    void setOuterWidth(double twips)
    {
        QRectF outer = WindowPlacement::outerTwips(*w_);
        outer.setWidth(twips);
        WindowPlacement::setOuterTwips(*w_, outer);
    }

    void sendToHandle(QEvent::Type type, double xTwips)
    {
        const QPointF pos(xTwips / 10.0, 5);
        QMouseEvent event(type, pos, w_->imgSplitter->mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w_->imgSplitter, &event);
    }

    void drag(double fromWithinHandle, double toWithinHandle)
    {
        sendToHandle(QEvent::MouseButtonPress, fromWithinHandle);
        sendToHandle(QEvent::MouseMove, toWithinHandle);
        sendToHandle(QEvent::MouseButtonRelease, toWithinHandle);
    }

private slots:
    void initTestCase() { Twips::overridePerPixel(10); }

    void init()
    {
        box_ = new SettingsSandbox;
        prompter_ = new ScriptedPrompter;
        w_ = new frmMain(*prompter_);
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_));
        QTRY_VERIFY(!w_->TimerForToolBar->isActive());
    }

    void cleanup()
    {
        delete w_;
        delete prompter_;
        delete box_;
    }

    void startsAtTheDesignSplit()
    {
        QCOMPARE(w_->windowWidth(), 7000.0);
        QCOMPARE(w_->splitterLeft(), 1970.0);  // 1965 twips, on the nearest pixel
        QCOMPARE(height(w_->tbToolBar), 420.0);
        QCOMPARE(height(w_->picTitles), 300.0);
        QCOMPARE(top(w_->tvTreeView), 720.0);
        QCOMPARE(left(w_->lvListView), 2010.0);
        QCOMPARE(width(w_->lvListView), 7000.0 - (1970 + 140));
        QCOMPARE(w_->lblTitle(0)->text(), QString(" ﾂﾘｰ ﾋﾞｭｰ:"));
        QCOMPARE(w_->lblTitle(1)->text(), QString(" ﾘｽﾄ ﾋﾞｭｰ:"));
    }

    void narrowestWindow()
    {
        setOuterWidth(2000);
        QTRY_COMPARE(w_->windowWidth(), 3000.0);
        QCOMPARE(w_->splitterLeft(), 1500.0);
        QCOMPARE(width(w_->tvTreeView), 1500.0);
        QCOMPARE(left(w_->lvListView), 1540.0);
        QCOMPARE(width(w_->lvListView), 1360.0);
        QCOMPARE(width(w_->lblTitle(0)), 1500.0);
        QCOMPARE(left(w_->lblTitle(1)), 1560.0);
        QCOMPARE(width(w_->lblTitle(1)), 1320.0);
        QCOMPARE(top(w_->lblTitle(1)), 10.0);  // 12 twips, on the nearest pixel
    }

    void splitRangeAndNarrowing()
    {
        w_->SizeControls(100);
        QCOMPARE(w_->splitterLeft(), 1500.0);
        w_->SizeControls(6000);
        QCOMPARE(w_->splitterLeft(), 5500.0);
        QCOMPARE(width(w_->tvTreeView), 5500.0);
        QCOMPARE(left(w_->imgSplitter), 5500.0);
        QCOMPARE(width(w_->imgSplitter), 150.0);
        QCOMPARE(left(w_->lvListView) + width(w_->lvListView), 6900.0);
        // Narrowing the window pulls the split in with it.
        setOuterWidth(5000);
        QTRY_COMPARE(w_->splitterLeft(), 3500.0);
    }

    void panesFillTheBandBetweenTheBars()
    {
        const double client = w_->clientHeight();
        const double status = height(w_->sbStatusBar);
        QVERIFY(status > 0);
        QCOMPARE(height(w_->tvTreeView), client - (420 + 300 + status));
        QCOMPARE(height(w_->lvListView), height(w_->tvTreeView));
        QCOMPARE(top(w_->imgSplitter), top(w_->tvTreeView));
        QCOMPARE(height(w_->imgSplitter), height(w_->tvTreeView));
        QCOMPARE(top(w_->sbStatusBar) + status, client);
    }

    void hidingTheBars()
    {
        w_->mnuViewToolbar_Click();
        QVERIFY(!w_->menus()->mnuViewToolbar->isChecked());
        QVERIFY(w_->tbToolBar->isHidden());
        QCOMPARE(top(w_->picTitles), 0.0);
        QCOMPARE(top(w_->tvTreeView), 300.0);
        QCOMPARE(top(w_->lvListView), 300.0);
        const double status = height(w_->sbStatusBar);
        QCOMPARE(height(w_->tvTreeView), w_->clientHeight() - 300 - status);

        w_->mnuViewStatusBar_Click();
        QVERIFY(!w_->menus()->mnuViewStatusBar->isChecked());
        QVERIFY(w_->sbStatusBar->isHidden());
        QCOMPARE(height(w_->tvTreeView), w_->clientHeight() - 300);
        QCOMPARE(height(w_->lvListView), w_->clientHeight() - 300);

        // And back again.
        w_->mnuViewToolbar_Click();
        w_->mnuViewStatusBar_Click();
        QVERIFY(!w_->tbToolBar->isHidden());
        QCOMPARE(top(w_->tvTreeView), 720.0);
        QCOMPARE(height(w_->tvTreeView), w_->clientHeight() - (720 + status));
    }

    void tooShortWindowKeepsHeights()
    {
        const double before = height(w_->tvTreeView);
        w_->setMinimumHeight(0);
        QRectF outer = WindowPlacement::outerTwips(*w_);
        outer.setHeight(500);
        WindowPlacement::setOuterTwips(*w_, outer);
        QTRY_VERIFY(w_->clientHeight() < 720);
        // The heights would be negative: they keep their values, the rest still moves.
        QCOMPARE(height(w_->tvTreeView), before);
        w_->SizeControls(3000);
        QCOMPARE(w_->splitterLeft(), 3000.0);
        QCOMPARE(height(w_->lvListView), before);
    }

    void dragReleasedNearTheLeft()
    {
        // Handle at 1970: a pointer at -1370 within it is 600 from the window's edge.
        sendToHandle(QEvent::MouseButtonPress, 20);
        QVERIFY(w_->SplitterMoving());
        QVERIFY(w_->picSplitter->isVisible());
        QCOMPARE(width(w_->picSplitter), 80.0);  // 75, on the nearest pixel
        QCOMPARE(height(w_->picSplitter), height(w_->imgSplitter) - 20);
        QCOMPARE(w_->picSplitter->palette().color(QPalette::Window), QColor(128, 128, 128));
        sendToHandle(QEvent::MouseMove, -1370);
        QCOMPARE(left(w_->picSplitter), 600.0);
        QCOMPARE(w_->splitterLeft(), 1970.0);  // nothing else moves while dragging
        sendToHandle(QEvent::MouseMove, -1910);
        QCOMPARE(left(w_->picSplitter), 500.0);
        sendToHandle(QEvent::MouseMove, -1370);
        sendToHandle(QEvent::MouseButtonRelease, -1370);
        QCOMPARE(w_->splitterLeft(), 1500.0);
        QVERIFY(w_->picSplitter->isHidden());
        QVERIFY(!w_->SplitterMoving());
    }

    void dragReleasedNearTheRight()
    {
        drag(20, 6700 - 1970);
        QCOMPARE(w_->splitterLeft(), 5500.0);
        // The bar had stopped at 6500 before settling.
        sendToHandle(QEvent::MouseButtonPress, 0);
        sendToHandle(QEvent::MouseMove, 6700 - 5500);
        QCOMPARE(left(w_->picSplitter), 6500.0);
        sendToHandle(QEvent::MouseButtonRelease, 0);
    }

    void dragInTheMiddle()
    {
        drag(20, 1000);
        QCOMPARE(w_->splitterLeft(), 2970.0);
        QCOMPARE(width(w_->tvTreeView), 2970.0);
    }

    void movesWithoutPressDoNothing()
    {
        sendToHandle(QEvent::MouseMove, 1000);
        sendToHandle(QEvent::MouseButtonRelease, 1000);
        QVERIFY(w_->picSplitter->isHidden());
        QCOMPARE(w_->splitterLeft(), 1970.0);
    }
};

QTEST_MAIN(tst_MainLayout)
#include "tst_MainLayout.moc"
