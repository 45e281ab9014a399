#include "app/KestrelApplication.h"
#include "platform/ScriptedPrompter.h"

#include <QTimer>
#include <QtTest>
#include <stdexcept>

namespace {

// An object whose event handler fails.
class Failing : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("ﾌｧｲﾙが見つかりません");
        return QObject::event(e);
    }
};

} // namespace

// Runs with the program's own application object (see main below).
class tst_KestrelApplication : public QObject {
    Q_OBJECT

private slots:
    void failureIsReportedAndEndsTheProgram()
    {
        auto* app = static_cast<KestrelApplication*>(qApp);
        ScriptedPrompter prompter;
        prompter.answerMessage(Prompter::Answer::Ok, "ﾌｧｲﾙが見つかりません");
        app->setPrompter(&prompter);
        Failing failing;
        bool afterwards = false;
        QTimer::singleShot(0, [&] { QCoreApplication::postEvent(&failing, new QEvent(QEvent::User)); });
        // Had the failure not ended the loop, this would end it with 0.
        QTimer::singleShot(5000, [&] { afterwards = true; QCoreApplication::exit(0); });
        QCOMPARE(QCoreApplication::exec(), 1);
        QVERIFY(!afterwards);
        QCOMPARE(prompter.questions().size(), 1);
        QCOMPARE(prompter.questions().first().icon, Prompter::Icon::Stop);
        QCOMPARE(prompter.questions().first().title, QString("Kestrel"));
        app->setPrompter(nullptr);
    }
};

int main(int argc, char** argv)
{
    KestrelApplication app(argc, argv);
    tst_KestrelApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_KestrelApplication.moc"
