#include "app/ToolbarDispatch.h"

#include <QtTest>
#include <stdexcept>

// The dispatch's promise: a failing command never stops the step after it,
// and only an early end or the final command skips that step.
class tst_ToolbarDispatch : public QObject {
    Q_OBJECT

private slots:
    void stepAfterRunsDespiteFailures()
    {
        ToolbarDispatch d;
        QStringList log;
        d.setAfterEach([&] { log << "checks"; });
        d.add("ok", [&] { log << "ok"; return true; });
        d.add("throws", [&]() -> bool { log << "throws"; throw std::runtime_error("disk gone"); });
        d.add("throwsOther", [&]() -> bool { log << "other"; throw 42; });
        d.add("early", [&] { log << "early"; return false; });
        d.add("exit", [&] { log << "exit"; return true; }, true);

        d.run("ok");
        d.run("throws");
        d.run("throwsOther");
        d.run("early");
        d.run("unknown");
        d.run("exit");
        QCOMPARE(log, (QStringList{"ok", "checks", "throws", "checks", "other", "checks", "early",
                                   "checks", "exit"}));
    }

    void failingStepAfterIsContained()
    {
        ToolbarDispatch d;
        int runs = 0;
        d.setAfterEach([&] { ++runs; throw std::runtime_error("menu gone"); });
        d.add("ok", [] { return true; });
        d.run("ok");
        d.run("ok");
        QCOMPARE(runs, 2);
    }
};

QTEST_GUILESS_MAIN(tst_ToolbarDispatch)
#include "tst_ToolbarDispatch.moc"
