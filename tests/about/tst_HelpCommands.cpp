#include "about/HelpCommands.h"
#include "about/HelpWindow.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

class tst_HelpCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void missingPageIsReportedAndNoWindowOpens();
    void contentsAndSearchShareOneWindow();
    void theApplicationsHelpFileNamesThePage();
    void unreadablePageReportsTheReason();
    void otherCommandsDoNothing();

private:
    void installPage(const QString& name = QStringLiteral("Kestrel.html"));

    QTemporaryDir* temp_ = nullptr;
    QWidget* owner_ = nullptr;
    ScriptedPrompter* prompts_ = nullptr;
};

void tst_HelpCommands::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_HelpCommands::init()
{
    temp_ = new QTemporaryDir;
    QVERIFY(temp_->isValid());
    HelpCommands::setFolders({temp_->filePath(QStringLiteral("first")), temp_->filePath(QStringLiteral("help"))});
    qApp->setProperty("HelpFile", QStringLiteral("Kestrel.hlp"));
    owner_ = new QWidget;
    prompts_ = new ScriptedPrompter;
}

void tst_HelpCommands::cleanup()
{
    QCOMPARE(prompts_->pendingAnswers(), 0);
    delete prompts_;
    delete owner_;  // takes the help window with it
    HelpCommands::setFolders({});
    delete temp_;
}

void tst_HelpCommands::installPage(const QString& name)
{
    // A copy of the page beside the suite wins: the unprivileged run gets one,
    // since it may not read the source tree.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/Kestrel.html");
    const QString page = QFile::exists(beside) ? beside : QStringLiteral(KESTREL_HELP_SOURCE);
    QDir().mkpath(temp_->filePath(QStringLiteral("help")));
    QVERIFY(QFile::copy(page, temp_->filePath(QStringLiteral("help/") + name)));
}

void tst_HelpCommands::missingPageIsReportedAndNoWindowOpens()
{
    const QString text = QStringLiteral("ﾍﾙﾌﾟ ﾌｧｲﾙ Kestrel.html が見つかりません。");
    prompts_->answerMessage(Prompter::Answer::Ok, text);
    QVERIFY(!HelpCommands::show(owner_, *prompts_, HelpCommands::HELP_CONTENTS));
    prompts_->answerMessage(Prompter::Answer::Ok, text);
    QVERIFY(!HelpCommands::show(owner_, *prompts_, HelpCommands::HELP_PARTIALKEY));
    for (const ScriptedPrompter::Question& q : prompts_->questions()) {
        QCOMPARE(q.buttons, Prompter::Buttons::Ok);
        QCOMPARE(q.icon, Prompter::Icon::Exclamation);
        QCOMPARE(q.title, QStringLiteral("Kestrel"));
    }
    QCOMPARE(HelpWindow::existing(), nullptr);
}

void tst_HelpCommands::contentsAndSearchShareOneWindow()
{
    installPage();
    QVERIFY(HelpCommands::show(owner_, *prompts_, 3));
    HelpWindow* window = HelpWindow::existing();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->parentWidget(), owner_);
    QCOMPARE(window->tabs->currentIndex(), 0);
    QCOMPARE(window->loadedPath(), temp_->filePath(QStringLiteral("help/Kestrel.html")));

    QVERIFY(HelpCommands::show(owner_, *prompts_, 261));
    QCOMPARE(HelpWindow::existing(), window);
    QCOMPARE(window->tabs->currentIndex(), 1);

    // Closed by the user, it opens again on the next command.
    window->close();
    QVERIFY(HelpCommands::show(owner_, *prompts_, HelpCommands::HELP_CONTENTS));
    QVERIFY(window->isVisible());
    QVERIFY(prompts_->questions().isEmpty());
}

void tst_HelpCommands::theApplicationsHelpFileNamesThePage()
{
    installPage(QStringLiteral("Other.html"));
    qApp->setProperty("HelpFile", QStringLiteral("Other.hlp"));
    QVERIFY(HelpCommands::show(owner_, *prompts_, HelpCommands::HELP_CONTENTS));
    QCOMPARE(HelpWindow::existing()->loadedPath(), temp_->filePath(QStringLiteral("help/Other.html")));

    // Unset, the program's own name stands.
    qApp->setProperty("HelpFile", QVariant());
    QCOMPARE(HelpCommands::helpFile(), QStringLiteral("Kestrel.hlp"));
    prompts_->answerMessage(Prompter::Answer::Ok, QStringLiteral("ﾍﾙﾌﾟ ﾌｧｲﾙ Kestrel.html が見つかりません。"));
    QVERIFY(!HelpCommands::show(owner_, *prompts_, HelpCommands::HELP_CONTENTS));
}

void tst_HelpCommands::unreadablePageReportsTheReason()
{
    if (geteuid() == 0)
        QSKIP("root reads every file");
    installPage();
    const QString page = temp_->filePath(QStringLiteral("help/Kestrel.html"));
    QVERIFY(QFile::setPermissions(page, QFileDevice::WriteOwner));
    prompts_->answerMessage(Prompter::Answer::Ok);
    QVERIFY(!HelpCommands::show(owner_, *prompts_, HelpCommands::HELP_CONTENTS));
    const ScriptedPrompter::Question& q = prompts_->questions().first();
    QVERIFY(!q.text.isEmpty());
    QCOMPARE(q.buttons, Prompter::Buttons::Ok);
    QCOMPARE(q.title, QStringLiteral("Kestrel"));
    QVERIFY(!HelpWindow::existing() || !HelpWindow::existing()->isVisible());
}

void tst_HelpCommands::otherCommandsDoNothing()
{
    installPage();
    QVERIFY(!HelpCommands::show(owner_, *prompts_, 0));
    QVERIFY(!HelpCommands::show(owner_, *prompts_, 0x105 + 1));
    QVERIFY(prompts_->questions().isEmpty());
    QCOMPARE(HelpWindow::existing(), nullptr);
}

QTEST_MAIN(tst_HelpCommands)
#include "tst_HelpCommands.moc"
