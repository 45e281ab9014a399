#include "archive/ArchiveState.h"
#include "archive/EntryListModel.h"
#include "archive/ExtractCommand.h"
#include "archive/frmExtract.h"
#include "support/FakeCommandHost.h"
#include "support/RecordingArchiver.h"

#include "archivers/common/ArchiverApi.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Extract through FakeCommandHost with a recording Archiver: which file
// becomes the archive, the selection messages, the multi-volume questions
// with the direct CAB call, and the viewer opened (or not) and the refresh.
class tst_ExtractCommand : public QObject {
    Q_OBJECT
private:
    struct Run {
        int viewers = 0;
        QString viewerType;
        int viewerItems = -1;
    };

    QString root() const { return dir_->path() + '/'; }
    void write(const QString& relative, const QByteArray& data = "data")
    {
        QDir().mkpath(QFileInfo(root() + relative).path());
        QFile f(root() + relative);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // Runs Extract on the named items of `folder` (relative, "" for the root).
    Run extract(const QString& folder, const QStringList& names, bool clicked = true)
    {
        host_->showOnlyVolume(root());
        host_->openFolder(root() + folder);
        if (!host_->selectNames(names))
            qWarning("not every name was listed");
        host_->clicked = clicked;
        Run run;
        ExtractCommand command(*host_, archiver_, state_);
        command.showViewer = [&](frmExtract& viewer) {
            ++run.viewers;
            run.viewerType = viewer.archiveType();
            run.viewerItems = viewer.itemCount();
        };
        command.run();
        return run;
    }
    QStringList texts() const
    {
        QStringList list;
        for (const ScriptedPrompter::Question& q : host_->prompts.questions())
            list << q.text;
        return list;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeCommandHost> host_;
    RecordingArchiver archiver_;
    ArchiveState state_;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        host_ = std::make_unique<FakeCommandHost>();
        archiver_ = RecordingArchiver();
        state_ = ArchiveState();
    }

    // Folders, several files, the flag off and an empty selection: no viewer,
    // no library call, no refresh; only the two selection messages are said.
    void selectionRulesStopTheCommand()
    {
        write("one.lzh");
        write("two.lzh");
        QVERIFY(QDir().mkpath(root() + "folder"));

        Run run = extract("", {"one.lzh"}, false);
        QCOMPARE(run.viewers, 0);
        QVERIFY(host_->prompts.questions().isEmpty());

        run = extract("", {});
        QCOMPARE(run.viewers, 0);
        QVERIFY(host_->prompts.questions().isEmpty());

        host_->prompts.answerMessage(Prompter::Answer::Ok, "フォルダを選択する事はできません");
        run = extract("", {"one.lzh", "folder"});
        QCOMPARE(run.viewers, 0);

        host_->prompts.answerMessage(Prompter::Answer::Ok, "複数のファイルを選択する事はできません");
        run = extract("", {"one.lzh", "two.lzh"});
        QCOMPARE(run.viewers, 0);

        QCOMPARE(host_->prompts.pendingAnswers(), 0);
        for (const ScriptedPrompter::Question& q : host_->prompts.questions()) {
            QCOMPARE(q.icon, Prompter::Icon::None);
            QCOMPARE(q.buttons, Prompter::Buttons::Ok);
            QCOMPARE(q.title, QStringLiteral("Kestrel"));
        }
        QCOMPARE(host_->refreshes, 0);
        QVERIFY(archiver_.calls.isEmpty());
    }

    // The extension is the text after the path's last "."; only a CAB name
    // ending in a digit asks; the viewer opens on the path and the window is
    // refreshed after it.
    void oneFileOpensTheViewerByItsExtension()
    {
        write("a.b/data.lzh");
        write("disk.cab");
        write("disk1.lzh");
        write("x.Lzh");
        archiver_.archives.insert(root() + "a.b/data.lzh", {{"docs/a.txt"}, {"README"}});

        Run run = extract("a.b/", {"data.lzh"});
        QCOMPARE(run.viewers, 1);
        QCOMPARE(state_.archivePath, root() + "a.b/data.lzh");
        QCOMPARE(run.viewerType, QStringLiteral("LZH"));
        QCOMPARE(run.viewerItems, 2);
        QCOMPARE(host_->refreshes, 1);

        // Empty listings: the viewer says it could not read them, nothing asks.
        host_->prompts.answerMessage(Prompter::Answer::Ok, "CABﾌｧｲﾙの読込みができませんでした");
        QCOMPARE(extract("", {"disk.cab"}).viewerType, QStringLiteral("CAB"));
        host_->prompts.answerMessage(Prompter::Answer::Ok, "LZHﾌｧｲﾙの読込みができませんでした");
        QCOMPARE(extract("", {"disk1.lzh"}).viewers, 1);
        host_->prompts.answerMessage(Prompter::Answer::Ok, "LZHﾌｧｲﾙの読込みができませんでした");
        QCOMPARE(extract("", {"x.Lzh"}).viewerType, QStringLiteral("LZH"));
        QCOMPARE(host_->refreshes, 4);
        QCOMPARE(host_->prompts.pendingAnswers(), 0);
        QVERIFY(archiver_.calls.isEmpty());

        QVERIFY(ExtractCommand::mayBeMultiVolume("/dl/setup1.CAB"));
        QVERIFY(!ExtractCommand::mayBeMultiVolume("/dl/setup.cab"));
        QVERIFY(!ExtractCommand::mayBeMultiVolume("/dl/setup1.lzh"));
        QVERIFY(!ExtractCommand::mayBeMultiVolume("/dl/disk1"));
    }

    // No to the first question gives the note and the viewer; Yes then No goes
    // to the viewer without a note.
    void multiVolumeQuestionsLeadToTheViewer()
    {
        write("disk1.cab");
        host_->prompts.answerMessage(Prompter::Answer::No, "マルチボリュームの先頭ファイルですか?");
        host_->prompts.answerMessage(Prompter::Answer::Ok, "通常解凍します");
        host_->prompts.answerMessage(Prompter::Answer::Ok, "CABﾌｧｲﾙの読込みができませんでした");
        QCOMPARE(extract("", {"disk1.cab"}).viewers, 1);

        host_->prompts.answerMessage(Prompter::Answer::Yes, "マルチボリュームの先頭ファイルですか?");
        host_->prompts.answerMessage(Prompter::Answer::No, "マルチボリューム解凍しますか?");
        host_->prompts.answerMessage(Prompter::Answer::Ok, "CABﾌｧｲﾙの読込みができませんでした");
        QCOMPARE(extract("", {"disk1.cab"}).viewers, 1);

        QCOMPARE(host_->prompts.pendingAnswers(), 0);
        const QList<ScriptedPrompter::Question>& q = host_->prompts.questions();
        QCOMPARE(q[0].buttons, Prompter::Buttons::YesNo);
        QCOMPARE(q[0].icon, Prompter::Icon::Question);
        QCOMPARE(q[1].buttons, Prompter::Buttons::Ok);
        QCOMPARE(q[1].icon, Prompter::Icon::None);
        QCOMPARE(host_->refreshes, 2);
        QVERIFY(archiver_.calls.isEmpty());
    }

    // Yes, Yes: the folder picker, then one direct call; no viewer, no
    // refresh. Cancelling the picker ends the command quietly; a failed call
    // says so.
    void multiVolumeSetIsExtractedDirectly()
    {
        write("disk1.cab", QByteArray(5000, 'c'));
        const auto yesYes = [this] {
            host_->prompts.answerMessage(Prompter::Answer::Yes, "マルチボリュームの先頭ファイルですか?");
            host_->prompts.answerMessage(Prompter::Answer::Yes, "マルチボリューム解凍しますか?");
        };
        yesYes();
        host_->prompts.answerPickFolder(std::nullopt, "解凍先フォルダを指定して下さい");
        QCOMPARE(extract("", {"disk1.cab"}).viewers, 0);
        QVERIFY(archiver_.calls.isEmpty());

        yesYes();
        host_->prompts.answerPickFolder(QStringLiteral("/work/out"));
        QCOMPARE(extract("", {"disk1.cab"}).viewers, 0);
        // A quote in the folder would end its argument early: refused, no call.
        yesYes();
        host_->prompts.answerPickFolder(QStringLiteral("/work/a\"b"));
        host_->prompts.answerMessage(Prompter::Answer::Ok,
                                     "解凍できませんでした。\n書庫と解凍先のパスに \" を含めることはできません。");
        extract("", {"disk1.cab"});
        yesYes();
        host_->prompts.answerPickFolder(QStringLiteral("/"));
        ArchiverOutcome failed;
        failed.result = KA_ERR_MISSING_VOLUME;
        failed.report = QStringLiteral("disk2.cab がありません");
        archiver_.outcomes.push_back(failed);
        host_->prompts.answerMessage(Prompter::Answer::Ok, "解凍できませんでした。\ndisk2.cab がありません");
        QCOMPARE(extract("", {"disk1.cab"}).viewers, 0);

        const QString archive = root() + "disk1.cab";
        QCOMPARE(archiver_.commandLines(),
                 QStringList({"-x -k \"" + archive + "\" \"/work/out/\" \"*.*\"",
                              "-x -k \"" + archive + "\" \"/\" \"*.*\""}));
        const ArchiverCall& call = archiver_.calls.first().call;
        QCOMPARE(call.kind, ArchiverKind::Cab);
        QCOMPARE(call.caption, QStringLiteral("解凍"));
        QCOMPARE(call.bufferSize, qint64(5000));
        QCOMPARE(host_->prompts.questions().last().icon, Prompter::Icon::Exclamation);
        QCOMPARE(host_->prompts.pendingAnswers(), 0);
        QCOMPARE(host_->refreshes, 0);
    }
};

QTEST_MAIN(tst_ExtractCommand)
#include "tst_ExtractCommand.moc"
