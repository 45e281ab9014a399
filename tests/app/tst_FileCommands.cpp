#include "AppTestSupport.h"

#include "fileops/TrashCommands.h"
#include "platform/ScriptedPrompter.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>

// The file commands reached from the real window's menus: the window hands
// each to its command and the files on disk change as a user would see them.
class tst_FileCommands : public WindowSuite {
    Q_OBJECT

    void selectInList(const QString& relative)
    {
        QVERIFY(w_->lvListView->selectOnly(root_ + relative));
        w_->setListClicked(true);
    }

    // Triggers `command` and presses the button `name` of the modal dialog it
    // opens; says what went wrong, or nothing. The dialog runs its own event
    // loop, so the press comes from a timer that ticks inside it; the timer
    // belongs to this call, and a dialog that never opens, or opens without
    // that button, fails the test at once.
    static QString triggerAndPress(QAction* command, const QString& name)
    {
        QString fault = command->text() + " opened no dialog";
        QTimer presser;
        QObject::connect(&presser, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            presser.stop();
            if (auto* button = dialog->findChild<QAbstractButton*>(name)) {
                fault.clear();
                button->click();
            } else {
                fault = QString(dialog->metaObject()->className()) + " has no " + name;
                dialog->close();
            }
        });
        presser.start(10);
        command->trigger();
        if (fault.isEmpty() && !QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }))
            fault = command->text() + " left a dialog open";
        return fault;
    }

    static QByteArray randomBytes(int size)
    {
        QByteArray data(size, Qt::Uninitialized);
        for (char& c : data)
            c = static_cast<char>(QRandomGenerator::global()->generate());
        return data;
    }

    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(makeWindow({"work", "other", "out"}));
    }

    void cleanup() { fixture_.reset(); }

    void divideThenJoinGivesTheFileBack()
    {
        const QByteArray data = randomBytes(3 * 1'457'152 - 5);
        QFile f(root_ + "work/movie.avi");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
        f.close();
        choose("work/");
        selectInList("work/movie.avi");
        QCOMPARE(triggerAndPress(w_->menus()->mnuFileDivide, "OKButton"), QString());  // the first size, 1.44MB
        QCOMPARE(QFileInfo(root_ + "work/movie_avi_003.001").size(), 1'457'152);
        QCOMPARE(QFileInfo(root_ + "work/movie_avi_003.003").size(), 1'457'152 - 5);
        QCOMPARE(w_->PathList, QStringList{root_ + "work/movie.avi"});
        QVERIFY(w_->lvListView->rowOfKey(root_ + "work/movie_avi_003.002") >= 0);

        selectInList("work/movie_avi_003.002");
        prompter_->answerPickFolder(root_ + "out", QStringLiteral("結合先フォルダを指定して下さい"));
        QCOMPARE(triggerAndPress(w_->menus()->mnuFileJoin, "OKButton"), QString());
        QCOMPARE(read(root_ + "out/movie.avi"), data);
        QCOMPARE(prompter_->pendingAnswers(), 0);
    }

    void copyAndPasteIntoAnotherFolder()
    {
        QFile f(root_ + "work/a.txt");
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("abc") == 3);
        f.close();
        choose("work/");
        selectInList("work/a.txt");
        w_->menus()->mnuEditCopy->trigger();
        QVERIFY(w_->CopyMode);
        choose("other/");
        w_->menus()->mnuEditPaste->trigger();
        QCOMPARE(read(root_ + "other/a.txt"), QByteArray("abc"));
        QVERIFY(QFileInfo::exists(root_ + "work/a.txt"));
        QVERIFY(w_->lvListView->rowOfKey(root_ + "other/a.txt") >= 0);

        // Cut from the toolbar, paste from the menu: the file moves.
        choose("other/");
        selectInList("other/a.txt");
        w_->tbToolBar_ButtonClick(QStringLiteral("切り取り"));
        QVERIFY(!w_->CopyMode);
        choose("out/");
        w_->menus()->mnuEditPaste->trigger();
        QVERIFY(QFileInfo::exists(root_ + "out/a.txt"));
        QVERIFY(!QFileInfo::exists(root_ + "other/a.txt"));
    }

    void deleteMovesToTheTrash()
    {
        QFile f(root_ + "work/old.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        w_->trashCommands().service().setHomeTrash(root_ + "Trash");
        choose("work/");
        selectInList("work/old.txt");
        prompter_->answerMessage(Prompter::Answer::Yes);
        w_->menus()->mnuFileDelete->trigger();
        QVERIFY(!QFileInfo::exists(root_ + "work/old.txt"));
        QVERIFY(QFileInfo::exists(root_ + "Trash/files/old.txt"));
        QVERIFY(QFileInfo::exists(root_ + "Trash/info/old.txt.trashinfo"));
        QCOMPARE(w_->lvListView->rowOfKey(root_ + "work/old.txt"), -1);
    }

    void cancelAtReplaceIsNoFailure()
    {
        for (const QString& name : {QStringLiteral("work/same.txt"), QStringLiteral("out/same.txt")}) {
            QFile f(root_ + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(name.toUtf8());
        }
        choose("work/");
        selectInList("work/same.txt");
        w_->menus()->mnuEditCopy->trigger();
        choose("out/");
        prompter_->answerMessage(Prompter::Answer::Cancel);
        w_->menus()->mnuEditPaste->trigger();
        // One question, the replace question; no failure message after it.
        QCOMPARE(prompter_->questions().size(), 1);
        QCOMPARE(prompter_->questions().first().buttons, Prompter::Buttons::YesNoCancel);
        QFile kept(root_ + "out/same.txt");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("out/same.txt"));
    }

    void aFolderGoneBehindOurBackSettlesEverythingOnItsParent()
    {
        QVERIFY(makeFolders(root_, {"work/gone"}));
        QFile keep(root_ + "work/keep.txt");
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        choose("work/");
        w_->tvTreeView->setPath(root_ + "work/gone/");
        choose("work/");
        QTreeWidgetItem* gone = w_->tvTreeView->nodeByKey(root_ + "work/gone/");
        QVERIFY(gone);
        QVERIFY(QDir(root_ + "work/gone").removeRecursively());
        prompter_->answerMessage(Prompter::Answer::Ok);
        w_->tvTreeView->chooseNode(gone);
        QCOMPARE(w_->Path(), root_ + "work/");
        QCOMPARE(w_->tvTreeView->selectedKey(), root_ + "work/");
        QCOMPARE(w_->lblTitle(1)->text(), root_ + "work/");
        QVERIFY(!w_->tvTreeView->nodeByKey(root_ + "work/gone/"));
        QCOMPARE(w_->lvListView->count(), 1);
        QCOMPARE(w_->lvListView->item(0).name, QString("keep.txt"));
    }

    void renameInPlace()
    {
        QFile f(root_ + "work/draft.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        choose("work/");
        selectInList("work/draft.txt");
        QVERIFY(w_->lvListView->startLabelEdit(root_ + "work/draft.txt"));
        QLineEdit* editor = nullptr;
        QTRY_VERIFY((editor = w_->lvListView->currentView()->findChild<QLineEdit*>()) != nullptr);
        editor->setText(QStringLiteral("final.txt"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(QFileInfo::exists(root_ + "work/final.txt"));
        QVERIFY(!QFileInfo::exists(root_ + "work/draft.txt"));
        QTRY_VERIFY(w_->lvListView->rowOfKey(root_ + "work/final.txt") >= 0);
    }

    void aboutBoxOpensAndCloses()
    {
        QCOMPARE(triggerAndPress(w_->menus()->mnuHelpAbout, "cmdOK"), QString());
        QCOMPARE(prompter_->questions().size(), 0);
    }
};

QTEST_MAIN(tst_FileCommands)
#include "tst_FileCommands.moc"
