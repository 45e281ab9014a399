#include "fileops/ClipboardCommands.h"
#include "platform/CopyConflictPrompt.h"
#include "support/FakeCommandHost.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Answer = Prompter::Answer;

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class tst_ClipboardCommands : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> root_;
    std::unique_ptr<FakeCommandHost> host_;
    QString a_;  // "<root>/A/", the folder things are taken from
    QString b_;  // "<root>/B/", where they are pasted

    FakeCommandHost& host() { return *host_; }
    void checkFailedWithoutRefresh()
    {
        QCOMPARE(host().prompts.questions().size(), 1);
        const auto& asked = host().prompts.questions().constFirst();
        QCOMPARE(asked.text, QStringLiteral("処理が失敗しました。"));
        QCOMPARE(asked.buttons, Prompter::Buttons::Ok);
        QCOMPARE(asked.icon, Prompter::Icon::Exclamation);
        QCOMPARE(asked.title, QStringLiteral("Kestrel"));
        QCOMPARE(host().refreshes, 0);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        const QString volume = root_->path() + QLatin1Char('/');
        a_ = volume + QStringLiteral("A/");
        b_ = volume + QStringLiteral("B/");
        QVERIFY(QDir().mkpath(a_ + QStringLiteral("sub")));
        QVERIFY(QDir().mkpath(b_));
        writeFile(a_ + QStringLiteral("one.txt"), "1");
        writeFile(a_ + QStringLiteral("two.txt"), "2");
        writeFile(a_ + QStringLiteral("three.txt"), "3");
        writeFile(a_ + QStringLiteral("sub/inner.txt"), "i");
        host_ = std::make_unique<FakeCommandHost>();
        host().showOnlyVolume(volume);
        host().openFolder(a_);
        QCOMPARE(host().Path(), a_);
    }

    void cleanup()
    {
        QCOMPARE(host().prompts.pendingAnswers(), 0);
        host_.reset();
        root_.reset();
    }

    void cutTwoFilesAndPasteMovesThemInListOrder()
    {
        ClipboardCommands commands(host());
        QVERIFY(host().selectNames({QStringLiteral("two.txt"), QStringLiteral("one.txt")}));
        commands.mnuEditCut_Click();
        QVERIFY(!host().copyMode());
        // Cut only records: nothing has moved yet.
        QVERIFY(QFile::exists(a_ + QStringLiteral("one.txt")));

        host().openFolder(b_);
        commands.mnuEditPaste_Click();
        QCOMPARE(namesIn(b_), (QStringList{QStringLiteral("one.txt"), QStringLiteral("two.txt")}));
        QCOMPARE(namesIn(a_), (QStringList{QStringLiteral("sub"), QStringLiteral("three.txt")}));
        // The list orders by name, so one.txt came first and went first.
        QCOMPARE(host().progress.items, (QStringList{QStringLiteral("one.txt"), QStringLiteral("two.txt")}));
        QCOMPARE(host().refreshes, 1);
        QVERIFY(host().list.rowOfKey(b_ + QStringLiteral("one.txt")) >= 0);
        QVERIFY(host().prompts.questions().isEmpty());

        // PathList stays, so a second paste finds the sources gone.
        host().prompts.answerMessage(Answer::Ok, ClipboardCommands::failureText());
        commands.mnuEditPaste_Click();
        QCOMPARE(host().refreshes, 1);
        QCOMPARE(host().prompts.questions().constLast().text, ClipboardCommands::failureText());
    }

    void copyOfTheTreeFolderCopiesTheFolder()
    {
        ClipboardCommands commands(host());
        host().openFolder(a_ + QStringLiteral("sub/"));
        host().setListClicked(false);
        commands.mnuEditCopy_Click();
        QVERIFY(host().copyMode());
        QCOMPARE(host().paths, QStringList{a_ + QStringLiteral("sub/")});

        host().openFolder(b_);
        host().setListClicked(false);
        commands.mnuEditPaste_Click();
        QCOMPARE(bytesOf(b_ + QStringLiteral("sub/inner.txt")), QByteArray("i"));
        QCOMPARE(bytesOf(a_ + QStringLiteral("sub/inner.txt")), QByteArray("i"));
        // The entry is kept in its shortened form.
        QCOMPARE(host().paths, QStringList{a_ + QStringLiteral("sub")});
        QCOMPARE(host().refreshes, 1);
        QCOMPARE(host().progress.captions, QStringList{QStringLiteral("コピー")});
    }

    void pastingACopyAgainIntoItsFolderMakesCopyNames()
    {
        ClipboardCommands commands(host());
        QVERIFY(host().selectNames({QStringLiteral("one.txt")}));
        commands.mnuEditCopy_Click();
        commands.mnuEditPaste_Click();
        commands.mnuEditPaste_Click();
        QCOMPARE(bytesOf(a_ + QStringLiteral("one - コピー.txt")), QByteArray("1"));
        QCOMPARE(bytesOf(a_ + QStringLiteral("one - コピー (2).txt")), QByteArray("1"));
        QCOMPARE(host().refreshes, 2);
        QVERIFY(host().list.rowOfKey(a_ + QStringLiteral("one - コピー (2).txt")) >= 0);
    }

    void pastingACopyAgainElsewhereAsksBeforeReplacing()
    {
        ClipboardCommands commands(host());
        QVERIFY(host().selectNames({QStringLiteral("one.txt")}));
        commands.mnuEditCopy_Click();
        host().openFolder(b_);
        commands.mnuEditPaste_Click();
        writeFile(b_ + QStringLiteral("one.txt"), "edited");

        host().prompts.answerMessage(Answer::No, CopyConflictPrompt::replaceText(QStringLiteral("one.txt")));
        commands.mnuEditPaste_Click();  // skipped: still a success
        QCOMPARE(bytesOf(b_ + QStringLiteral("one.txt")), QByteArray("edited"));
        QCOMPARE(host().refreshes, 2);

        // The user's own Cancel stops the paste without calling it a failure.
        host().prompts.answerMessage(Answer::Cancel, CopyConflictPrompt::replaceText(QStringLiteral("one.txt")));
        commands.mnuEditPaste_Click();
        QCOMPARE(bytesOf(b_ + QStringLiteral("one.txt")), QByteArray("edited"));
        QCOMPARE(host().prompts.questions().size(), 2);
        QCOMPARE(host().prompts.questions().last().text, CopyConflictPrompt::replaceText(QStringLiteral("one.txt")));
        QCOMPARE(host().refreshes, 3);
    }

    void aPasteAfterTheSourcesWentFailsWithoutRefresh()
    {
        ClipboardCommands commands(host());
        QVERIFY(host().selectNames({QStringLiteral("two.txt")}));
        commands.mnuEditCopy_Click();
        // What Delete leaves behind: PathList names what it sent to the trash.
        host().paths = QStringList{a_ + QStringLiteral("one.txt")};
        QVERIFY(QFile::remove(a_ + QStringLiteral("one.txt")));

        host().openFolder(b_);
        host().prompts.answerMessage(Answer::Ok);
        commands.mnuEditPaste_Click();
        checkFailedWithoutRefresh();
        QVERIFY(namesIn(b_).isEmpty());
    }

    void aFailureStopsTheRemainingEntries()
    {
        ClipboardCommands commands(host());
        host().paths = QStringList{a_ + QStringLiteral("gone.txt"), a_ + QStringLiteral("three.txt")};
        host().setCopyMode(false);
        host().openFolder(b_);
        host().prompts.answerMessage(Answer::Ok);
        commands.mnuEditPaste_Click();
        checkFailedWithoutRefresh();
        QVERIFY(QFile::exists(a_ + QStringLiteral("three.txt")));
        QVERIFY(namesIn(b_).isEmpty());
    }

    void cancelDuringAPasteIsAFailureAndKeepsTheSource()
    {
        ClipboardCommands commands(host());
        QVERIFY(host().selectNames({QStringLiteral("three.txt")}));
        commands.mnuEditCopy_Click();
        host().openFolder(b_);
        host().progress.cancelAtReport(1);
        host().prompts.answerMessage(Answer::Ok);
        commands.mnuEditPaste_Click();
        checkFailedWithoutRefresh();
        QVERIFY(namesIn(b_).isEmpty());
        QCOMPARE(bytesOf(a_ + QStringLiteral("three.txt")), QByteArray("3"));
    }

    void anEmptyPathListOnlyRefreshes()
    {
        ClipboardCommands commands(host());
        host().selectNames({});
        commands.mnuEditCut_Click();
        QVERIFY(host().paths.isEmpty());
        commands.mnuEditPaste_Click();
        QCOMPARE(host().refreshes, 1);
        QVERIFY(host().prompts.questions().isEmpty());
        QVERIFY(host().progress.captions.isEmpty());
    }

    void withNoTreeFolderSelectedNothingIsPasted()
    {
        ClipboardCommands commands(host());
        QVERIFY(host().selectNames({QStringLiteral("one.txt")}));
        commands.mnuEditCut_Click();
        host().tree.clearSelection();
        QVERIFY(host().tree.selectedKey().isEmpty());
        host().prompts.answerMessage(Answer::Ok);
        commands.mnuEditPaste_Click();
        checkFailedWithoutRefresh();
        QVERIFY(QFile::exists(a_ + QStringLiteral("one.txt")));
    }
};

QTEST_MAIN(tst_ClipboardCommands)
#include "tst_ClipboardCommands.moc"
