#include "support/FakeCommandHost.h"

#include "split/JoinCommand.h"
#include "split/PartName.h"
#include "split/frmJoinDialog.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <sys/stat.h>

using TestFiles::read;
using TestFiles::write;

using Answer = Prompter::Answer;

// Join from the file list to the file on disk: what the dialog lists, which
// questions are asked in which words, and what is (and is not) written.
class tst_JoinCommand : public QObject {
    Q_OBJECT

private:
    // What the dialog showed and how it ended.
    struct Shown {
        bool shown = false;
        bool partSet = false;
        QStringList entries;
        bool upEnabled = false;
        bool downEnabled = false;
        bool openAfter = false;  // still open after `press`
        QStringList entriesAfter;
    };

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeCommandHost> host_;

    QString in(const QString& name = {}) const { return dir_->path() + "/in/" + name; }
    QString out(const QString& name = {}) const { return dir_->path() + "/out/" + name; }
    QString outFolder() const { return dir_->path() + "/out"; }

    static QByteArray pattern(int size, char seed)
    {
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char(seed + i * 13 + i / 253);
        return data;
    }
    static QStringList listing(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    // Cuts `data` into `count` parts named as Divide names them, in the "in" folder.
    QByteArray makeParts(const QString& fileName, int count, int partSize)
    {
        const QByteArray data = pattern(partSize * (count - 1) + partSize / 2 + 1, 'p');
        for (int k = 1; k <= count; ++k)
            write(in(PartName::part(fileName, count, k)), data.mid((k - 1) * partSize, partSize));
        return data;
    }

    // Lists the "in" folder and selects these names, as clicks in the list would.
    void select(const QStringList& names)
    {
        host_->openFolder(in());
        host_->list.clear();
        host_->list.ListFolder(in());
        QVERIFY(host_->selectNames(names));
    }

    // Runs Join; `press` acts on the shown dialog (nothing: the dialog is left open).
    Shown runJoin(const std::function<void(frmJoinDialog&)>& press = {})
    {
        Shown shown;
        JoinCommand command(*host_);
        command.showDialog = [&](frmJoinDialog& dialog) {
            dialog.show();
            shown.shown = true;
            shown.partSet = dialog.partSet();
            shown.entries = dialog.entries();
            shown.upEnabled = dialog.UpDownButton[0]->isEnabled();
            shown.downEnabled = dialog.UpDownButton[1]->isEnabled();
            if (press)
                press(dialog);
            shown.openAfter = dialog.isVisible();
            shown.entriesAfter = dialog.entries();
        };
        command.run();
        return shown;
    }
    static void pressOk(frmJoinDialog& dialog) { dialog.OKButton->click(); }

    void expectMissing(const QString& name, Answer change)
    {
        host_->prompts.answerMessage(Answer::Ok, name + "が見付かりません");
        host_->prompts.answerMessage(change, "別のメディアにある場合はメディアを交換して下さい");
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(dir_->path()).mkpath("in"));
        QVERIFY(QDir(dir_->path()).mkpath("out"));
        host_ = std::make_unique<FakeCommandHost>();
        host_->showOnlyVolume(dir_->path() + "/");
    }

    void cleanup()
    {
        QCOMPARE(host_->prompts.pendingAnswers(), 0);
        host_.reset();
        dir_.reset();
    }

    void nothingHappensWithoutAListClickOrASelection()
    {
        write(in("a"), "a");
        select({"a"});
        host_->paths = QStringList {"/earlier"};
        host_->clicked = false;
        QVERIFY(!runJoin().shown);
        host_->clicked = true;
        host_->list.selectionModel()->clearSelection();
        QVERIFY(!runJoin().shown);
        QCOMPARE(host_->paths, QStringList {"/earlier"});
        QCOMPARE(host_->refreshes, 0);
        QVERIFY(host_->prompts.questions().isEmpty());
    }

    void aSelectedFolderIsRefused()
    {
        write(in("a"), "a");
        QVERIFY(QDir(in()).mkdir("sub"));
        select({"a", "sub"});
        host_->prompts.answerMessage(Answer::Ok, "フォルダを選択する事はできません");
        QVERIFY(!runJoin().shown);
        const QList<ScriptedPrompter::Question> asked = host_->prompts.questions();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, QStringLiteral("フォルダを選択する事はできません"));
        QCOMPARE(asked[0].buttons, Prompter::Buttons::Ok);
        QCOMPARE(asked[0].icon, Prompter::Icon::None);
        QCOMPARE(asked[0].title, QStringLiteral("Kestrel"));
        QCOMPARE(host_->refreshes, 0);
    }

    void theMiddlePartBringsTheWholeSetAndItsName()
    {
        const QByteArray data = makeParts("x.y", 3, 1000);
        write(in("unrelated"), "u");
        select({"x_y_003.002"});
        host_->prompts.setOwner(&host_->window);
        host_->prompts.answerPickFolder(outFolder(), "結合先フォルダを指定して下さい");
        const Shown shown = runJoin(pressOk);
        QVERIFY(shown.partSet);
        QCOMPARE(shown.entries, (QStringList {in("x_y_003.001"), in("x_y_003.002"), in("x_y_003.003")}));
        QVERIFY(!shown.upEnabled);
        QVERIFY(!shown.downEnabled);
        QVERIFY(!shown.openAfter);
        QCOMPARE(host_->paths, QStringList {in("x_y_003.002")});
        QCOMPARE(read(out("x.y")), data);
        QCOMPARE(listing(outFolder()), QStringList {"x.y"});
        QCOMPARE(host_->refreshes, 1);
        QCOMPARE(host_->progress.captions, QStringList {"結合"});
        QCOMPARE(host_->progress.items.first(), QStringLiteral("x_y_003.001 (1/3)"));
        // The dialogs asked during OK belonged to the join dialog; the owner is back.
        QCOMPARE(host_->prompts.owner(), &host_->window);
        // The folder picker opened in the current folder, not the start-up folder.
        QVERIFY(!host_->Path().isEmpty());
        QCOMPARE(host_->prompts.questions().last().kind, ScriptedPrompter::Kind::PickFolder);
        QCOMPARE(host_->prompts.questions().last().directory, host_->Path());
    }

    void underscoresOfTheFileNameSurviveTheRoundTrip()
    {
        const QByteArray data = makeParts("my_file.txt", 3, 4096);
        select({"my_file_txt_003.001"});
        host_->prompts.answerPickFolder(outFolder());
        QVERIFY(runJoin(pressOk).partSet);
        QCOMPARE(read(out("my_file.txt")), data);
    }

    void twoPartsAndAnUnrelatedFileAreJoinedUnderATypedName()
    {
        makeParts("x.y", 3, 10);
        write(in("notes.txt"), "notes");
        select({"x_y_003.001", "x_y_003.002", "notes.txt"});
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(QStringLiteral("結合.bin"), "結合後のファイル名を入力してください");
        const Shown shown = runJoin(pressOk);
        QVERIFY(!shown.partSet);
        // list order: names sorted as the list shows them
        QCOMPARE(shown.entries, (QStringList {in("notes.txt"), in("x_y_003.001"), in("x_y_003.002")}));
        QVERIFY(shown.upEnabled && shown.downEnabled);
        const ScriptedPrompter::Question input = host_->prompts.questions().at(1);
        QCOMPARE(input.title, QStringLiteral("Kestrel"));
        QCOMPARE(input.defaultText, QStringLiteral("notes.txt"));
        QCOMPARE(read(out("結合.bin")), "notes" + read(in("x_y_003.001")) + read(in("x_y_003.002")));
    }

    void aNameWithOneUnderscoreIsNotAPart()
    {
        write(in("a_001.001"), "A");
        select({"a_001.001"});
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(QStringLiteral("a"));
        QVERIFY(!runJoin(pressOk).partSet);
        QCOMPARE(read(out("a")), QByteArray("A"));
    }

    void aThousandPartSetIsRecognised()
    {
        QByteArray data;
        for (int k = 1; k <= 1000; ++k) {
            const char byte = char('a' + k % 26);
            write(in(PartName::part("big.iso", 1000, k)), QByteArray(1, byte));
            data += byte;
        }
        select({"big_iso_1000.1000"});
        host_->prompts.answerPickFolder(outFolder());
        const Shown shown = runJoin(pressOk);
        QVERIFY(shown.partSet);
        QCOMPARE(shown.entries.size(), 1000);
        QCOMPARE(shown.entries.at(999), in("big_iso_1000.1000"));
        QCOMPARE(read(out("big.iso")), data);
    }

    void joiningIntoEntryZeroItselfGivesTheConcatenation()
    {
        write(in("a"), pattern(5000, 'a'));
        write(in("b"), pattern(700, 'b'));
        select({"a", "b"});
        host_->prompts.answerPickFolder(in().chopped(1));
        host_->prompts.answerInput(QStringLiteral("a"));  // the default, accepted
        runJoin(pressOk);
        QCOMPARE(read(in("a")), pattern(5000, 'a') + pattern(700, 'b'));
        QCOMPARE(read(in("b")), pattern(700, 'b'));
        QCOMPARE(listing(in()), (QStringList {"a", "b"}));
    }

    void joiningIntoTheSecondEntryReadsItFirst()
    {
        write(in("a"), "first-");
        write(in("b"), "second-");
        write(in("c"), "third");
        select({"a", "b", "c"});
        host_->prompts.answerPickFolder(in());
        host_->prompts.answerInput(QStringLiteral("b"));
        runJoin(pressOk);
        QCOMPARE(read(in("b")), QByteArray("first-second-third"));
        QCOMPARE(read(in("a")), QByteArray("first-"));
        QCOMPARE(read(in("c")), QByteArray("third"));
    }

    void aMissingPartIsTakenFromWhereTheUserPointsIt()
    {
        const QByteArray data = makeParts("x.y", 3, 100);
        QVERIFY(QDir(dir_->path()).mkdir("floppy"));
        const QString moved = dir_->path() + "/floppy/x_y_003.002";
        QVERIFY(QFile::rename(in("x_y_003.002"), moved));
        select({"x_y_003.001"});
        host_->prompts.answerPickFolder(outFolder());
        expectMissing("x_y_003.002", Answer::Ok);
        host_->prompts.answerOpenFile(moved, "x_y_003.002を指定して下さい");
        const Shown shown = runJoin(pressOk);
        QCOMPARE(read(out("x.y")), data);
        // The list keeps the old path: the chosen file served this one copy.
        QCOMPARE(shown.entriesAfter.at(1), in("x_y_003.002"));
        const QList<ScriptedPrompter::Question> asked = host_->prompts.questions();
        QCOMPARE(asked.size(), 4);
        QCOMPARE(asked[1].icon, Prompter::Icon::Information);
        QCOMPARE(asked[1].buttons, Prompter::Buttons::Ok);
        QCOMPARE(asked[1].title, QStringLiteral("Kestrel"));
        QCOMPARE(asked[2].icon, Prompter::Icon::Information);
        QCOMPARE(asked[2].buttons, Prompter::Buttons::OkCancel);
        // The file dialog starts in the entry's folder with its name filled in.
        QCOMPARE(asked[3].directory, in("x_y_003.002"));
    }

    void theLastPartMissingIsAskedForAgainAfterATypo()
    {
        const QByteArray data = makeParts("x.y", 3, 100);
        const QString moved = dir_->path() + "/x_y_003.003";
        QVERIFY(QFile::rename(in("x_y_003.003"), moved));
        select({"x_y_003.001"});
        host_->prompts.answerPickFolder(outFolder());
        expectMissing("x_y_003.003", Answer::Ok);
        host_->prompts.answerOpenFile(dir_->path() + "/no-such-file");
        expectMissing("x_y_003.003", Answer::Ok);
        host_->prompts.answerOpenFile(moved);
        runJoin(pressOk);
        QCOMPARE(read(out("x.y")), data);
    }

    void cancelAtEachQuestionWritesNothing_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("folder picker") << 0;
        QTest::newRow("medium question") << 1;
        QTest::newRow("file dialog") << 2;
        QTest::newRow("progress") << 3;
    }
    void cancelAtEachQuestionWritesNothing()
    {
        QFETCH(int, step);
        makeParts("x.y", 3, 100);
        QVERIFY(QFile::remove(in("x_y_003.002")));
        write(out("x.y"), "old contents");
        select({"x_y_003.001"});
        if (step == 0) {
            host_->prompts.answerPickFolder(std::nullopt);
        } else if (step == 3) {
            host_->prompts.answerPickFolder(outFolder());
            host_->progress.cancelAtReport(2);
        } else {
            host_->prompts.answerPickFolder(outFolder());
            expectMissing("x_y_003.002", step == 1 ? Answer::Cancel : Answer::Ok);
            if (step == 2)
                host_->prompts.answerOpenFile(std::nullopt);
        }
        const Shown shown = runJoin(pressOk);
        QVERIFY(!shown.openAfter);
        QCOMPARE(read(out("x.y")), QByteArray("old contents"));
        QCOMPARE(listing(outFolder()), QStringList {"x.y"});
        QCOMPARE(host_->refreshes, 1);
    }

    void anEmptyOrCancelledNameKeepsTheDialogOpen()
    {
        write(in("a"), "a");
        write(in("b"), "b");
        select({"a", "b"});
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(QString());
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(std::nullopt);
        const Shown shown = runJoin([](frmJoinDialog& dialog) {
            dialog.OKButton->click();
            QVERIFY(dialog.isVisible());
            dialog.OKButton->click();
            QVERIFY(dialog.isVisible());
            dialog.CancelButton->click();
        });
        QVERIFY(!shown.openAfter);
        QVERIFY(listing(outFolder()).isEmpty());
        QCOMPARE(host_->refreshes, 1);
    }

    void anInvalidNameIsExplainedAndTheDialogStaysOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << "sub/name";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("too long") << QString(300, 'n');
        QTest::newRow("an existing folder") << "folder";
    }
    void anInvalidNameIsExplainedAndTheDialogStaysOpen()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(outFolder()).mkdir("folder"));
        write(in("a"), "a");
        select({"a"});
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(name);
        host_->prompts.answerMessage(Answer::Ok);
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(QStringLiteral("good"));
        const Shown shown = runJoin([](frmJoinDialog& dialog) {
            dialog.OKButton->click();
            QVERIFY(dialog.isVisible());
            dialog.OKButton->click();
        });
        QVERIFY(!shown.openAfter);
        const ScriptedPrompter::Question refusal = host_->prompts.questions().at(2);
        QCOMPARE(refusal.icon, Prompter::Icon::Exclamation);
        QCOMPARE(refusal.title, QStringLiteral("Kestrel"));
        QVERIFY(!refusal.text.isEmpty());
        QCOMPARE(listing(outFolder()), (QStringList {"folder", "good"}));
        QVERIFY(listing(out("folder")).isEmpty());
    }

    void aReadFailureIsReportedAndLeavesNothing()
    {
        write(in("a"), "a");
        QVERIFY(::mkfifo(QFile::encodeName(in("pipe")).constData(), 0644) == 0);
        write(out("joined"), "old");
        select({"a", "pipe"});
        host_->prompts.answerPickFolder(outFolder());
        host_->prompts.answerInput(QStringLiteral("joined"));
        host_->prompts.answerMessage(Answer::Ok);
        const Shown shown = runJoin(pressOk);
        QVERIFY(!shown.openAfter);
        const ScriptedPrompter::Question failure = host_->prompts.questions().last();
        QCOMPARE(failure.kind, ScriptedPrompter::Kind::Message);
        QCOMPARE(failure.icon, Prompter::Icon::Exclamation);
        QVERIFY(failure.text.contains(in("pipe")));
        QCOMPARE(read(out("joined")), QByteArray("old"));
        QCOMPARE(listing(outFolder()), QStringList {"joined"});
        QCOMPARE(host_->refreshes, 1);
    }

    void theRealDialogIsModalAndCentredOnTheWindow()
    {
        write(in("a"), "a");
        select({"a"});
        host_->window.setGeometry(50, 40, 900, 600);
        host_->window.show();  // as the main window is: with its frame
        QRect shownAt;
        bool modal = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<frmJoinDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            modal = dialog->isModal();
            shownAt = dialog->frameGeometry();
            dialog->CancelButton->click();
        });
        JoinCommand(*host_).run();  // returns once the dialog has closed
        QVERIFY(modal);
        const QRect owner = host_->window.frameGeometry();
        QCOMPARE(shownAt.left(), owner.left() + (owner.width() - shownAt.width()) / 2);
        QCOMPARE(shownAt.top(), owner.top() + (owner.height() - shownAt.height()) / 2);
        QCOMPARE(host_->refreshes, 1);
    }

    void cancelClosesTheDialogWithoutAQuestion()
    {
        write(in("a"), "a");
        select({"a"});
        const Shown shown = runJoin([](frmJoinDialog& dialog) { dialog.CancelButton->click(); });
        QVERIFY(shown.shown);
        QVERIFY(!shown.openAfter);
        QVERIFY(host_->prompts.questions().isEmpty());
        QCOMPARE(host_->paths, QStringList {in("a")});
        QCOMPARE(host_->refreshes, 1);
    }
};

QTEST_MAIN(tst_JoinCommand)
#include "tst_JoinCommand.moc"
