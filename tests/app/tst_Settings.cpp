#include "AppTestSupport.h"

#include "platform/LenientNumber.h"
#include "app/WindowPlacement.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Twips.h"

#include <QtTest>
#include <clocale>

// The settings store operations, the lenient number reading, and the window
// placement and view mode as they travel through the store between runs.
class tst_Settings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Ten twips a pixel keeps the stored numbers exact in pixels.
        Twips::overridePerPixel(10);
    }

    void keyPathMirrorsTheRegistry()
    {
        SettingsSandbox box;
        QCOMPARE(Module1::SettingsKeyPath("Settings"),
                 QString("HKEY_LOCAL_MACHINE\\SOFTWARE\\BRAMBLE\\Kestrel\\Settings"));
        QCOMPARE(Module1::OpenSettingsKey("Settings"), 0u);
        const auto key = Module1::CreateSettingsKey("Settings");
        QVERIFY(key != 0);
        QVERIFY(QFileInfo(box.root.path() + "/HKEY_LOCAL_MACHINE/SOFTWARE/BRAMBLE/Kestrel/Settings").isDir());
        QCOMPARE(Module1::CloseSettingsKey(key), 0L);
    }

    void readCutsAtNulAndRefusesLongValues()
    {
        SettingsSandbox box;
        const auto key = Module1::CreateSettingsKey("Settings");
        QCOMPARE(Module1::WriteSetting(key, "A", "12"), false);
        Module1::Settings().setValue(key, "Nul", QByteArray("34\0junk\0", 8));
        Module1::WriteSetting(key, "Long127", QString(127, '7'));
        Module1::WriteSetting(key, "Long128", QString(128, '8'));
        QString v;
        QCOMPARE(Module1::ReadSetting(key, "A", v), 0L);
        QCOMPARE(v, QString("12"));
        QCOMPARE(Module1::ReadSetting(key, "Nul", v), 0L);
        QCOMPARE(v, QString("34"));
        QCOMPARE(Module1::ReadSetting(key, "Long127", v), 0L);
        QCOMPARE(v.size(), 127);
        QVERIFY(Module1::ReadSetting(key, "Long128", v) != 0);
        QCOMPARE(Module1::ReadSetting(key, "Missing", v), 2L);
        Module1::CloseSettingsKey(key);
        // Writing through a closed handle reports the failure.
        QCOMPARE(Module1::WriteSetting(key, "A", "1"), true);
    }

    void lenientNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "1500" << 1500.0;
        QTest::newRow("trailing junk") << "1500abc" << 1500.0;
        QTest::newRow("blanks anywhere") << " 1 5\t0\n0 " << 1500.0;
        QTest::newRow("negative fraction") << "-12.5" << -12.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("exponent without digits") << "15e" << 15.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("comma is not a point") << "12,5" << 12.0;
        QTest::newRow("carriage return is not a blank") << "1\r2" << 1.0;
        QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
    }

    void lenientNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LenientNumber::parse(text), value);
    }

    void pointIsPointInEveryLocale()
    {
        const QByteArray old = std::setlocale(LC_NUMERIC, nullptr);
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
            QSKIP("no locale with a decimal comma installed");
        const double v = LenientNumber::parse("2.5");
        std::setlocale(LC_NUMERIC, old.constData());
        QCOMPARE(v, 2.5);
    }

    void viewModeRounding_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("mode");
        QTest::newRow("0.5 to even") << 0.5 << 0;
        QTest::newRow("1.5 to even") << 1.5 << 2;
        QTest::newRow("2.5 to even") << 2.5 << 2;
        QTest::newRow("2.6") << 2.6 << 3;
        QTest::newRow("3.4") << 3.4 << 3;
        QTest::newRow("3.5 rounds to 4: large icons") << 3.5 << 0;
        QTest::newRow("7: large icons") << 7.0 << 0;
        QTest::newRow("-1: large icons") << -1.0 << 0;
        QTest::newRow("-0.4 is 0") << -0.4 << 0;
        QTest::newRow("huge") << 1e300 << 0;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 0;
    }

    void viewModeRounding()
    {
        QFETCH(double, stored);
        QFETCH(int, mode);
        QCOMPARE(WindowPlacement::viewModeFrom(stored), mode);
    }

    void numbersAreWrittenShortest()
    {
        QCOMPARE(WindowPlacement::numberText(1500), QString("1500"));
        QCOMPARE(WindowPlacement::numberText(-15), QString("-15"));
        QCOMPARE(WindowPlacement::numberText(1234.5), QString("1234.5"));
        QCOMPARE(LenientNumber::parse(WindowPlacement::numberText(12345678)), 12345678.0);
    }

    void firstRunUsesDefaults()
    {
        SettingsSandbox box;
        ScriptedPrompter prompter;
        frmMain w(prompter);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowNoState);
        QTRY_COMPARE(WindowPlacement::outerTwips(w), QRectF(1000, 1000, 7000, 4500));
        QTRY_VERIFY(!w.TimerForToolBar->isActive());
        QCOMPARE(w.lvListView->view(), 0);
    }

    void placementAndViewModeRoundTrip()
    {
        SettingsSandbox box;
        ScriptedPrompter prompter;
        {
            frmMain w(prompter);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(!w.TimerForToolBar->isActive());
            WindowPlacement::setOuterTwips(w, QRectF(1500, 1200, 9000, 6000));
            w.tbToolBar_ButtonClick("詳細");
            w.close();
        }
        QCOMPARE(box.read("MainMax"), QString("0"));
        QCOMPARE(box.read("MainLeft"), QString("1500"));
        QCOMPARE(box.read("MainTop"), QString("1200"));
        QCOMPARE(box.read("MainWidth"), QString("9000"));
        QCOMPARE(box.read("MainHeight"), QString("6000"));
        QCOMPARE(box.read("ViewMode"), QString("3"));

        frmMain again(prompter);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QTRY_COMPARE(WindowPlacement::outerTwips(again), QRectF(1500, 1200, 9000, 6000));
        QTRY_COMPARE(again.lvListView->view(), 3);
        QCOMPARE(again.tbToolBar->pressedViewMode(), 3);
        QCOMPARE(again.menus()->checkedViewMode(), 3);
    }

    void maximizedStoresOnlyTheFlag()
    {
        SettingsSandbox box;
        ScriptedPrompter prompter;
        {
            frmMain w(prompter);
            w.showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(w.isMaximized());
            w.close();
        }
        QCOMPARE(box.read("MainMax"), QString("1"));
        QCOMPARE(box.read("MainLeft"), QString("<missing>"));
        QCOMPARE(box.read("ViewMode"), QString("0"));

        // The next run opens maximized; restoring gives the default placement.
        frmMain again(prompter);
        QVERIFY(again.windowState() & Qt::WindowMaximized);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        again.showNormal();
        QTRY_VERIFY(!again.isMaximized());
        QTRY_COMPARE(WindowPlacement::outerTwips(again), QRectF(1000, 1000, 7000, 4500));
    }

    void minimizedKeepsPlacementButStoresViewMode()
    {
        SettingsSandbox box;
        box.write("MainMax", "0");
        box.write("MainLeft", "2000");
        box.write("ViewMode", "1");
        ScriptedPrompter prompter;
        {
            frmMain w(prompter);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_COMPARE(w.lvListView->view(), 1);
            w.tbToolBar_ButtonClick("一覧");
            w.setWindowState(Qt::WindowMinimized);
            QTRY_VERIFY(w.isMinimized());
            w.close();
        }
        QCOMPARE(box.read("MainMax"), QString("0"));
        QCOMPARE(box.read("MainLeft"), QString("2000"));
        QCOMPARE(box.read("MainTop"), QString("<missing>"));
        QCOMPARE(box.read("ViewMode"), QString("2"));
    }

    void garbageValues()
    {
        SettingsSandbox box;
        box.write("MainMax", "yes");     // anything but "1" is the normal state
        box.write("MainLeft", "1500abc");
        box.write("MainTop", " 3 0 0 0 ");
        box.write("MainWidth", "wide");  // reads 0; the layout widens it to 3000
        // MainHeight missing: its default.
        box.write("ViewMode", "9");
        ScriptedPrompter prompter;
        frmMain w(prompter);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.isMaximized());
        const QRectF outer = WindowPlacement::outerTwips(w);
        QCOMPARE(outer.x(), 1500.0);
        QCOMPARE(outer.y(), 3000.0);
        QTRY_COMPARE(WindowPlacement::outerTwips(w).width(), 3000.0);
        QCOMPARE(outer.height(), 4500.0);
        // A view mode the list cannot take shows large icons, button and menu agreeing.
        QTRY_VERIFY(!w.TimerForToolBar->isActive());
        QCOMPARE(w.lvListView->view(), 0);
        QCOMPARE(w.tbToolBar->pressedViewMode(), 0);
        QCOMPARE(w.menus()->checkedViewMode(), 0);
    }

    void keyWithoutMainMaxGivesWholeDefault()
    {
        SettingsSandbox box;
        box.write("MainLeft", "3000");   // not read: MainMax is missing
        box.write("ViewMode", "2.5");
        ScriptedPrompter prompter;
        frmMain w(prompter);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(WindowPlacement::outerTwips(w).x(), 1000.0);
        QTRY_COMPARE(w.lvListView->view(), 2);
    }

    void placementOffEveryScreenComesBack()
    {
        SettingsSandbox box;
        box.write("MainMax", "0");
        box.write("MainLeft", "-90000");   // a monitor to the left that is gone
        box.write("MainTop", "1e30");
        box.write("MainWidth", "8000");
        box.write("MainHeight", "5000");
        ScriptedPrompter prompter;
        frmMain w(prompter);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(WindowPlacement::outerTwips(w), QRectF(1000, 1000, 8000, 5000));
    }

    void unwritableStoreStoresNothing()
    {
        QTemporaryDir dir;
        QFile blocker(dir.path() + "/registry");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Module1::setSettingsRoot(dir.path() + "/registry");
        ScriptedPrompter prompter;
        {
            frmMain w(prompter);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.close();   // no message, no crash
        }
        QCOMPARE(prompter.questions().size(), 0);
        QVERIFY(QFileInfo(dir.path() + "/registry").isFile());
    }
};

QTEST_MAIN(tst_Settings)
#include "tst_Settings.moc"
