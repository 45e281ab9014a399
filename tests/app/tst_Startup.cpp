#include "AppTestSupport.h"

#include "app/StartupWait.h"
#include "app/frmSplash.h"
#include "platform/ScriptedPrompter.h"

#include <QFont>
#include <QSysInfo>
#include <QLabel>
#include <QtTest>
#include <deque>

// The start-up order and the splash wait, with a clock the test controls so
// that no test waits three real seconds.
class tst_Startup : public QObject {
    Q_OBJECT

    // A clock that returns the given readings, then keeps the last one.
    static StartupWait::Clock readings(std::deque<int> values)
    {
        auto queue = std::make_shared<std::deque<int>>(std::move(values));
        return [queue] {
            const int v = queue->front();
            if (queue->size() > 1)
                queue->pop_front();
            return v;
        };
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void waitsMoreThanThreeSeconds()
    {
        int pumps = 0;
        // start 100; readings after each pump: 100, 101, 102, 103, 104
        StartupWait wait(readings({100, 100, 101, 102, 103, 104}), [&] { ++pumps; });
        QCOMPARE(wait.run(3), 5);
        QCOMPARE(pumps, 5);
    }

    void waitAcrossMidnight()
    {
        int pumps = 0;
        // Started two seconds before midnight: 86398 → 86399, 0, 1, 2. A wait
        // that cannot see past midnight would never end: stop it loudly.
        StartupWait wait(readings({86398, 86399, 0, 1, 2, 3}), [&] {
            if (++pumps > 50)
                qFatal("the start-up wait does not end after midnight");
        });
        QCOMPARE(wait.run(3), 4);
        QCOMPARE(StartupWait::elapsed(86399, 0), 1);
        QCOMPARE(StartupWait::elapsed(86398, 2), 4);
        QCOMPARE(StartupWait::elapsed(5, 5), 0);
    }

    void clockSetBackEndsTheWait()
    {
        // An hour back reads as most of a day gone: the splash does not stay up forever.
        StartupWait wait(readings({40000, 36400}), [] {});
        QCOMPARE(wait.run(3), 1);
    }

    void startShowsSplashThenMainWindow()
    {
        SettingsSandbox box;
        box.write("ViewMode", "3");
        ScriptedPrompter prompter;
        int pumps = 0;
        bool splashUpDuringWait = true;
        bool mainHiddenDuringWait = true;
        StartupWait wait(readings({10, 10, 12, 14}), [&] {
            ++pumps;
            // The program's own pump: it runs the event loop until a later
            // timer, so the 1 ms view-mode timer is due and fires within it.
            StartupWait::processEvents();
            const auto* splash = qobject_cast<frmSplash*>(
                [] {
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (w->objectName() == "frmSplash")
                            return w;
                    return static_cast<QWidget*>(nullptr);
                }());
            splashUpDuringWait = splashUpDuringWait && splash && splash->isVisible();
            mainHiddenDuringWait = mainHiddenDuringWait && Module1::MainWindow()
                && !Module1::MainWindow()->isVisible();
        });
        std::unique_ptr<frmMain> w = Module1::Start(prompter, wait);
        QCOMPARE(pumps, 3);
        QVERIFY(splashUpDuringWait);
        QVERIFY(mainHiddenDuringWait);
        QVERIFY(w->isVisible());
        QCOMPARE(Module1::MainWindow(), w.get());
        QCOMPARE(w->windowTitle(), QString("Kestrel"));
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY(top->objectName() != "frmSplash" || !top->isVisible());
        // The view-mode tick came during the wait.
        QVERIFY(!w->TimerForToolBar->isActive());
        QCOMPARE(w->lvListView->view(), 3);
        QCOMPARE(qApp->property("HelpFile").toString(), QString("Kestrel.hlp"));
        w.reset();
        QCOMPARE(Module1::MainWindow(), nullptr);
    }

    void splashLabels()
    {
        frmSplash splash;
        QCOMPARE(splash.lblCompanyProduct->text(), QString("BRAMBLE"));
        QCOMPARE(splash.lblProductName->text(), QString("Kestrel"));
        QCOMPARE(splash.lblVersion->text(), QString("Version 1.1.2"));
        // The system it runs on, not one it never ran on, in the space the label has.
        const QString platform = splash.lblPlatform->text();
        QVERIFY(!platform.isEmpty());
        QVERIFY(!platform.contains("Windows"));
        QVERIFY2(QSysInfo::prettyProductName().startsWith(platform), qPrintable(platform));
        QVERIFY(splash.lblPlatform->fontMetrics().horizontalAdvance(platform) <= splash.lblPlatform->width());
        QCOMPARE(splash.lblCompany->text(), QString());
        QCOMPARE(splash.lblCopyright->text(), QString());
        QCOMPARE(splash.lblProductName->font().family(), QString("IPAPGothic"));
        QVERIFY(splash.windowFlags() & Qt::SplashScreen);
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!splash.picLogo->pixmap().isNull());
        QCOMPARE(splash.objectName(), QString("frmSplash"));
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_Startup.moc"
