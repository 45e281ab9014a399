#include "fileops/TrashCommands.h"
#include "platform/TrashTreeRemover.h"
#include "support/FakeCommandHost.h"
#include "support/Pinned.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using TestFiles::write;

// The window's Delete and Empty trash through FakeCommandHost, on a
// temporary folder that stands for the home volume (its trash in
// data/Trash) with one fake volume "novol" whose trash cannot be made.
class tst_TrashCommands : public QObject {
    Q_OBJECT
private:
    QString root() const { return dir_->path() + '/'; }
    QString trashFiles() const { return root() + "data/Trash/files/"; }
    QString failed() const { return QStringLiteral("処理が失敗しました。"); }

    static bool exists(const QString& path) { return QFileInfo(path).exists() || QFileInfo(path).isSymLink(); }

    void setUp(FakeCommandHost& host, TrashCommands& commands, const QString& folder)
    {
        TrashService& trash = commands.service();
        trash.setHomeTrash(root() + "data/Trash");
        const QString top = dir_->path();
        const QString noVolume = root() + "novol";
        trash.setVolumeSource([noVolume] { return QStringList{noVolume}; });
        trash.setTopdirResolver([top, noVolume](const QString& path) {
            return path == noVolume || path.startsWith(noVolume + '/') ? noVolume : top;
        });
        host.showOnlyVolume(root());
        host.openFolder(folder);
        QCOMPARE(host.Path(), folder);
    }

    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        // A volume whose trash is a link elsewhere: no trash can take its entries.
        QVERIFY(QDir().mkpath(root() + "novol/elsewhere"));
        QVERIFY(QFile::link(root() + "novol/elsewhere", root() + "novol/.Trash-" + QString::number(::getuid())));
    }
    void cleanup()
    {
        TrashTreeRemover().removePath(dir_->path());
        dir_.reset();
    }

    void deletesTwoFilesAfterOneQuestion()
    {
        write(root() + "work/a.txt", "a");
        write(root() + "work/b.txt", "b");
        write(root() + "work/c.txt", "c");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/");
        host.copy = true;
        QVERIFY(host.selectNames({"a.txt", "c.txt"}));
        host.prompts.answerMessage(Prompter::Answer::Yes, QStringLiteral("これらの 2 個の項目をごみ箱に移動しますか?"));
        commands.mnuFileDelete_Click();
        QCOMPARE(host.prompts.questions().size(), 1);
        QCOMPARE(host.prompts.questions().first().buttons, Prompter::Buttons::YesNo);
        QCOMPARE(host.prompts.questions().first().icon, Prompter::Icon::Question);
        QCOMPARE(host.prompts.questions().first().title, QStringLiteral("Kestrel"));
        QVERIFY(!exists(root() + "work/a.txt"));
        QVERIFY(!exists(root() + "work/c.txt"));
        QVERIFY(exists(trashFiles() + "a.txt"));
        QVERIFY(exists(trashFiles() + "c.txt"));
        QVERIFY(exists(root() + "work/b.txt"));
        QCOMPARE(host.paths, (QStringList{root() + "work/a.txt", root() + "work/c.txt"}));
        QVERIFY(host.copy);  // Delete leaves the copy mode alone
        QCOMPARE(host.refreshes, 1);
        QCOMPARE(host.list.count(), 1);
        QCOMPARE(host.list.item(0).name, QStringLiteral("b.txt"));
    }

    void noAtTheQuestionChangesNothing()
    {
        write(root() + "work/a.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/");
        QVERIFY(host.selectNames({"a.txt"}));
        host.prompts.answerMessage(Prompter::Answer::No, QStringLiteral("「a.txt」をごみ箱に移動しますか?"));
        commands.mnuFileDelete_Click();
        QCOMPARE(host.prompts.questions().size(), 1);  // and no failure message after it
        QVERIFY(exists(root() + "work/a.txt"));
        QCOMPARE(host.refreshes, 0);
        // The selection was collected all the same, as Copy and Cut collect it.
        QCOMPARE(host.paths, QStringList{root() + "work/a.txt"});
    }

    void nothingSelectedOnlyRefreshes()
    {
        write(root() + "work/a.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/");
        QVERIFY(host.selectNames({}));
        host.paths = QStringList{QStringLiteral("/old")};
        commands.mnuFileDelete_Click();
        QVERIFY(host.prompts.questions().isEmpty());
        QVERIFY(host.paths.isEmpty());
        QCOMPARE(host.refreshes, 1);
        QVERIFY(exists(root() + "work/a.txt"));
    }

    void deletingTheCurrentFolderMovesThePathToItsParent()
    {
        write(root() + "work/sub/inner.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/sub/");
        QVERIFY(!host.listClicked());
        QCOMPARE(host.tree.selectedKey(), root() + "work/sub/");
        host.prompts.answerMessage(Prompter::Answer::Yes, QStringLiteral("「sub」をごみ箱に移動しますか?"));
        commands.mnuFileDelete_Click();
        QVERIFY(exists(trashFiles() + "sub/inner.txt"));
        // The tree's key lost its "/" in PathList, as the move took it.
        QCOMPARE(host.paths, QStringList{root() + "work/sub"});
        QCOMPARE(host.Path(), root() + "work/");
        QCOMPARE(host.tree.selectedKey(), root() + "work/");
        QVERIFY(!host.tree.nodeByKey(root() + "work/sub/"));
    }

    void aVolumeIsNeverOfferedForDeletion()
    {
        write(root() + "work/a.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root());
        QCOMPARE(host.tree.selectedKey(), root());
        host.prompts.answerMessage(Prompter::Answer::Yes);
        host.prompts.answerMessage(Prompter::Answer::Ok, failed());
        commands.mnuFileDelete_Click();
        QCOMPARE(host.prompts.pendingAnswers(), 0);
        QVERIFY(exists(root() + "work/a.txt"));
        QCOMPARE(host.refreshes, 0);
    }

    void theFirstFailureEndsTheWalkWithoutRefresh()
    {
        for (const char* n : {"a.txt", "b.txt", "c.txt"})
            write(root() + "work/" + n);
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/");
        QVERIFY(host.selectNames({"a.txt", "b.txt", "c.txt"}));
        QVERIFY(QFile::remove(root() + "work/b.txt"));  // gone behind the list's back
        host.prompts.answerMessage(Prompter::Answer::Yes);
        host.prompts.answerMessage(Prompter::Answer::Ok, failed());
        commands.mnuFileDelete_Click();
        QCOMPARE(host.prompts.questions().size(), 2);
        QCOMPARE(host.prompts.questions().last().buttons, Prompter::Buttons::Ok);
        QCOMPARE(host.prompts.questions().last().icon, Prompter::Icon::Exclamation);
        QCOMPARE(host.prompts.questions().last().title, QStringLiteral("Kestrel"));
        QVERIFY(exists(trashFiles() + "a.txt"));
        QVERIFY(exists(root() + "work/c.txt"));
        QCOMPARE(host.refreshes, 0);
        QCOMPARE(host.list.count(), 3);  // the list still shows where it stopped
    }

    void whatNoTrashTakesIsDeletedOnlyWhenTheUserSaysSo()
    {
        write(root() + "novol/keep.txt", "keep");
        write(root() + "novol/drop/x.txt", "drop");
        write(root() + "novol/z.txt", "z");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "novol/");
        QVERIFY(host.selectNames({"drop", "keep.txt", "z.txt"}));
        host.prompts.answerMessage(Prompter::Answer::Yes, QStringLiteral("これらの 3 個の項目をごみ箱に移動しますか?"));
        host.prompts.answerMessage(Prompter::Answer::Yes,
                                   QStringLiteral("「drop」はごみ箱に移動できません。完全に削除しますか?"));
        host.prompts.answerMessage(Prompter::Answer::No,
                                   QStringLiteral("「keep.txt」はごみ箱に移動できません。完全に削除しますか?"));
        host.prompts.answerMessage(Prompter::Answer::Yes,
                                   QStringLiteral("「z.txt」はごみ箱に移動できません。完全に削除しますか?"));
        commands.mnuFileDelete_Click();
        QCOMPARE(host.prompts.pendingAnswers(), 0);
        QCOMPARE(host.prompts.questions().at(1).icon, Prompter::Icon::Question);
        QCOMPARE(host.prompts.questions().at(1).buttons, Prompter::Buttons::YesNoDefaultNo);
        QVERIFY(!exists(root() + "novol/drop"));
        QVERIFY(!exists(root() + "novol/z.txt"));
        QVERIFY(exists(root() + "novol/keep.txt"));
        QVERIFY(QDir(root() + "novol/elsewhere").isEmpty());
        QCOMPARE(host.refreshes, 1);
        QCOMPARE(host.progress.captions, (QStringList{"削除", "削除"}));
    }

    void cancellingAPermanentDeleteStopsTheRest()
    {
        write(root() + "novol/big/1.txt");
        write(root() + "novol/big/2.txt");
        write(root() + "novol/next.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "novol/");
        QVERIFY(host.selectNames({"big", "next.txt"}));
        host.progress.cancelAtReport(2);
        host.prompts.answerMessage(Prompter::Answer::Yes);
        host.prompts.answerMessage(Prompter::Answer::Yes);
        commands.mnuFileDelete_Click();
        QCOMPARE(host.prompts.questions().size(), 2);  // no failure message for a cancel
        QVERIFY(exists(root() + "novol/next.txt"));
        QCOMPARE(host.refreshes, 1);
    }

    void emptyingAsksThenEmptiesEveryTrash()
    {
        write(root() + "work/a.txt");
        write(root() + "work/b/c.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/");
        QVERIFY(host.selectNames({"a.txt", "b"}));
        host.prompts.answerMessage(Prompter::Answer::Yes);
        commands.mnuFileDelete_Click();
        QCOMPARE(commands.service().trashedCount(), 2);
        const int refreshes = host.refreshes;

        const QString question = QStringLiteral("ごみ箱を空にしますか?\n2 個の項目が完全に削除されます。");
        host.prompts.answerMessage(Prompter::Answer::No, question);
        commands.mnuFileVacume_Click();
        QCOMPARE(commands.service().trashedCount(), 2);

        host.prompts.answerMessage(Prompter::Answer::Yes, question);
        commands.mnuFileVacume_Click();
        QCOMPARE(host.prompts.questions().last().icon, Prompter::Icon::Question);
        QCOMPARE(commands.service().trashedCount(), 0);
        QVERIFY(QDir(root() + "data/Trash/info").isEmpty());
        QCOMPARE(host.refreshes, refreshes);  // emptying changes nothing the window shows

        // An empty trash: nothing to ask.
        commands.mnuFileVacume_Click();
        QCOMPARE(host.prompts.pendingAnswers(), 0);
        QCOMPARE(host.prompts.questions().size(), 3);
    }

    void emptyingSaysWhatCouldNotBeDeleted()
    {
        write(root() + "work/a.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "work/");
        QVERIFY(host.selectNames({"a.txt"}));
        host.prompts.answerMessage(Prompter::Answer::Yes);
        commands.mnuFileDelete_Click();
        {
            const Pinned pin(trashFiles() + "a.txt");
            if (!pin.ok())
                QSKIP("the entry cannot be pinned here");
            host.prompts.answerMessage(Prompter::Answer::Yes);
            host.prompts.answerMessage(Prompter::Answer::Ok);
            commands.mnuFileVacume_Click();
        }
        const ScriptedPrompter::Question& message = host.prompts.questions().last();
        QVERIFY(message.text.startsWith(QStringLiteral("ごみ箱の次の項目を削除できませんでした。\n")));
        QVERIFY(message.text.contains(trashFiles() + "a.txt: "));
        QCOMPARE(message.icon, Prompter::Icon::Exclamation);
        QCOMPARE(message.buttons, Prompter::Buttons::Ok);
        QVERIFY(exists(trashFiles() + "a.txt"));
    }

    void aFailedPermanentDeleteIsReportedAndStops()
    {
        write(root() + "novol/a/stuck.txt");
        write(root() + "novol/b.txt");
        FakeCommandHost host;
        TrashCommands commands(host);
        setUp(host, commands, root() + "novol/");
        QVERIFY(host.selectNames({"a", "b.txt"}));
        {
            const Pinned pin(root() + "novol/a");
            if (!pin.ok())
                QSKIP("the entry cannot be pinned here");
            host.prompts.answerMessage(Prompter::Answer::Yes);
            host.prompts.answerMessage(Prompter::Answer::Yes);
            host.prompts.answerMessage(Prompter::Answer::Ok, failed());
            commands.mnuFileDelete_Click();
        }
        QCOMPARE(host.prompts.pendingAnswers(), 0);
        QVERIFY(exists(root() + "novol/a"));
        QVERIFY(exists(root() + "novol/b.txt"));
        QCOMPARE(host.refreshes, 0);
    }
};

QTEST_MAIN(tst_TrashCommands)
#include "tst_TrashCommands.moc"
