#include "AppTestSupport.h"

#include "app/ShellCommands.h"
#include "platform/ScriptedPrompter.h"

#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <unistd.h>

// The toolbar dispatch, the view modes and the shell's own commands, driven
// through the real window over a temporary folder shown as the only volume.
class tst_MainCommands : public WindowSuite {
    Q_OBJECT

    QStringList listedNames() const
    {
        QStringList names;
        for (int i = 0; i < w_->lvListView->count(); ++i)
            names << w_->lvListView->item(i).name;
        return names;
    }

    QStringList selectedNames() const
    {
        QStringList names;
        for (const FileListItem& item : w_->lvListView->selectedItems())
            names << item.name;
        return names;
    }

    QLineEdit* openEditor() const
    {
        for (QLineEdit* e : w_->lvListView->currentView()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }

    void checkViewState(int mode)
    {
        QCOMPARE(w_->lvListView->view(), mode);
        QCOMPARE(w_->tbToolBar->pressedViewMode(), mode);
        QCOMPARE(w_->menus()->checkedViewMode(), mode);
        for (int m = 0; m < 4; ++m)
            QCOMPARE(w_->tbToolBar->button(MainToolBar::viewKey(m))->isChecked(), m == mode);
    }

private slots:
    void init()
    {
        QVERIFY(makeWindow({}));
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_));
        QTRY_VERIFY(!w_->TimerForToolBar->isActive());
    }

    void cleanup()
    {
        fixture_->window.reset();
        QCOMPARE(prompter_->pendingAnswers(), 0);
        fixture_.reset();
    }

    void viewModesFromTheToolbar()
    {
        checkViewState(0);
        QTest::mouseClick(w_->tbToolBar->button("詳細"), Qt::LeftButton);
        checkViewState(3);
        QCOMPARE(w_->lvListView->currentView(), static_cast<QAbstractItemView*>(w_->lvListView->detailsView()));
        QTest::mouseClick(w_->tbToolBar->button("小さいｱｲｺﾝ"), Qt::LeftButton);
        checkViewState(1);
        QCOMPARE(w_->lvListView->currentView(), static_cast<QAbstractItemView*>(w_->lvListView->listView()));
        QCOMPARE(w_->lvListView->listView()->viewMode(), QListView::ListMode);
        // Clicking the pressed button again leaves it pressed.
        QTest::mouseClick(w_->tbToolBar->button("小さいｱｲｺﾝ"), Qt::LeftButton);
        checkViewState(1);
        QTest::mouseClick(w_->tbToolBar->button("大きいｱｲｺﾝ"), Qt::LeftButton);
        checkViewState(0);
        QCOMPARE(w_->lvListView->listView()->viewMode(), QListView::IconMode);
    }

    void viewModesFromTheMenuMatchTheToolbar()
    {
        w_->menus()->mnuListViewMode[2]->trigger();
        checkViewState(2);
        w_->menus()->mnuListViewMode[3]->trigger();
        checkViewState(3);
        // Choosing the checked item again does not uncheck it.
        w_->menus()->mnuListViewMode[3]->trigger();
        checkViewState(3);
    }

    void viewModeKeepsTheSelection()
    {
        QVERIFY(makeFolders(root_, {"a", "b", "c"}));
        choose("");
        QVERIFY(w_->lvListView->selectOnly(root_ + "b"));
        w_->tbToolBar_ButtonClick("詳細");
        QCOMPARE(selectedNames(), QStringList{"b"});
        w_->tbToolBar_ButtonClick("一覧");
        QCOMPARE(selectedNames(), QStringList{"b"});
    }

    void commandButtonsKeepTheMenuChecks()
    {
        w_->tbToolBar_ButtonClick("一覧");
        // A wrong check left by anyone is put right by the next toolbar command.
        w_->menus()->checkViewMode(0);
        for (const char* key : {"圧縮", "解凍", "切り取り", "ｺﾋﾟｰ", "貼り付け", "ごみ", "削除", "分割", "結合", "no such key"}) {
            w_->tbToolBar_ButtonClick(key);
            checkViewState(2);
            w_->menus()->checkViewMode(1);
        }
        QCOMPARE(prompter_->questions().size(), 0);
    }

    void newFolderTakesTheNextFreeName()
    {
        QVERIFY(makeFolders(root_, {"NewFolder", "NewFolder1"}));
        choose("");
        w_->tbToolBar_ButtonClick("3");  // nothing
        QTest::mouseClick(w_->tbToolBar->button("フォルダ作成"), Qt::LeftButton);
        QVERIFY(QFileInfo(root_ + "NewFolder2").isDir());
        QCOMPARE(w_->Path(), root_);
        QVERIFY(listedNames().contains("NewFolder2"));
        QCOMPARE(selectedNames(), QStringList{"NewFolder2"});
        QTRY_VERIFY(openEditor());
        QCOMPARE(openEditor()->text(), QString("NewFolder2"));
        QVERIFY(w_->tvTreeView->nodeByKey(root_ + "NewFolder2/"));
        QCOMPARE(prompter_->questions().size(), 0);
    }

    void newFolderInASubfolderInDetailsView()
    {
        QVERIFY(makeFolders(root_, {"sub/inner"}));
        choose("sub/");
        w_->tbToolBar_ButtonClick("詳細");
        w_->tbToolBar_ButtonClick("フォルダ作成");
        QVERIFY(QFileInfo(root_ + "sub/NewFolder").isDir());
        QCOMPARE(listedNames(), (QStringList{"inner", "NewFolder"}));
        QCOMPARE(selectedNames(), QStringList{"NewFolder"});
        QTRY_VERIFY(openEditor());
        checkViewState(3);
    }

    void newFolderBeforeAnyFolderIsChosen()
    {
        QVERIFY(w_->Path().isEmpty());
        w_->tbToolBar_ButtonClick("フォルダ作成");
        QCOMPARE(QDir(root_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
        QCOMPARE(prompter_->questions().size(), 0);
        QCOMPARE(w_->lvListView->count(), 0);
    }

    void newFolderThatCannotBeCreated()
    {
        QVERIFY(makeFolders(root_, {"gone", "stay"}));
        choose("gone/");
        QVERIFY(QDir(root_ + "gone").removeRecursively());
        w_->tbToolBar_ButtonClick("フォルダ作成");
        // No message, nothing made; the tree and list are read again at what is left.
        QCOMPARE(prompter_->questions().size(), 0);
        QVERIFY(!QFileInfo::exists(root_ + "gone"));
        QCOMPARE(w_->Path(), root_);
        QCOMPARE(listedNames(), QStringList{"stay"});
        QVERIFY(selectedNames().isEmpty());
        QVERIFY(!openEditor());
    }

    void newFolderWhenEveryProvisionalNameIsTaken()
    {
        QVERIFY(makeFolders(root_, {"full"}));
        // Hard links to one file take every name without making 10000 inodes.
        QFile target(root_ + "target");
        QVERIFY(target.open(QIODevice::WriteOnly));
        target.close();
        for (int n = 0; n <= 9999; ++n) {
            const QString name = root_ + "full/NewFolder" + (n ? QString::number(n) : QString());
            QCOMPARE(::link(QFile::encodeName(target.fileName()).constData(),
                            QFile::encodeName(name).constData()), 0);
        }
        QVERIFY(makeFolders(root_, {"full/Taken"}));
        choose("full/");
        const auto run = [this] { w_->tbToolBar_ButtonClick("フォルダ作成"); };
        const auto expectAsk = [this](std::optional<QString> typed) {
            prompter_->answerMessage(Prompter::Answer::Ok, ShellCommands::NoProvisionalNameMessage);
            prompter_->answerInput(typed, ShellCommands::FolderNamePrompt);
        };

        expectAsk(std::nullopt);  // cancelled: nothing, silently
        run();
        QCOMPARE(prompter_->questions().size(), 2);
        const auto& first = prompter_->questions().at(0);
        QCOMPARE(first.text, QString("仮のﾌｫﾙﾀﾞ名を付けられません"));
        QCOMPARE(first.buttons, Prompter::Buttons::Ok);
        QCOMPARE(first.icon, Prompter::Icon::Exclamation);
        QCOMPARE(first.title, QString("Kestrel"));
        const auto& ask = prompter_->questions().at(1);
        QCOMPARE(ask.text, QString("フォルダ名を入力して下さい｡"));
        QCOMPARE(ask.title, QString("Kestrel"));
        QCOMPARE(ask.defaultText, QString());

        expectAsk(QString());  // OK on an empty box: the same
        run();
        QCOMPARE(prompter_->questions().size(), 4);

        for (const QString& bad : {QString("a/b"), QString(".."), QString(300, 'x')}) {
            expectAsk(bad);
            prompter_->answerMessage(Prompter::Answer::Ok, ShellCommands::InvalidNameMessage);
            run();
            QCOMPARE(prompter_->questions().last().icon, Prompter::Icon::Exclamation);
        }
        for (const QString& taken : {QString("Taken"), QString("NewFolder17")}) {
            expectAsk(taken);
            prompter_->answerMessage(Prompter::Answer::Ok, ShellCommands::NameTakenMessage);
            run();
        }
        QCOMPARE(QDir(root_ + "full").entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Taken"});
        QVERIFY(!QFileInfo::exists(root_ + "a"));

        expectAsk(QString("新しいフォルダ"));
        run();
        QVERIFY(QFileInfo(root_ + "full/新しいフォルダ").isDir());
        QCOMPARE(selectedNames(), QStringList{"新しいフォルダ"});
        QTRY_VERIFY(openEditor());
    }

    void upOneFolder()
    {
        QVERIFY(makeFolders(root_, {"a/b"}));
        choose("a/b/");
        w_->tbToolBar_ButtonClick("1 つ上のﾌｫﾙﾀﾞへ");
        QCOMPARE(w_->Path(), root_ + "a/");
        QCOMPARE(listedNames(), QStringList{"b"});
        QCOMPARE(w_->tvTreeView->selectedKey(), root_ + "a/");
        w_->tbToolBar_ButtonClick("1 つ上のﾌｫﾙﾀﾞへ");
        QCOMPARE(w_->Path(), root_);
        // At the volume itself the path stays; the tree is rebuilt.
        w_->tbToolBar_ButtonClick("1 つ上のﾌｫﾙﾀﾞへ");
        QCOMPARE(w_->Path(), root_);
        QCOMPARE(w_->tvTreeView->selectedKey(), root_);
        QCOMPARE(w_->tvTreeView->topLevelItemCount(), 1);
    }

    void upOneFolderBeforeAnyChoice()
    {
        w_->tbToolBar_ButtonClick("1 つ上のﾌｫﾙﾀﾞへ");
        QVERIFY(w_->Path().isEmpty());
        QCOMPARE(w_->tvTreeView->topLevelItemCount(), 1);
    }

    void refreshAndArrangeReadTheFolderAgain()
    {
        QVERIFY(makeFolders(root_, {"z"}));
        choose("");
        QFile(root_ + "late.txt").open(QIODevice::WriteOnly);
        QCOMPARE(listedNames(), QStringList{"z"});
        w_->menus()->mnuViewArrangeIcons->trigger();
        QCOMPARE(listedNames(), (QStringList{"z", "late.txt"}));
        QVERIFY(makeFolders(root_, {"y"}));
        w_->menus()->mnuViewRefresh->trigger();
        QCOMPARE(listedNames(), (QStringList{"y", "z", "late.txt"}));
        QVERIFY(w_->tvTreeView->nodeByKey(root_ + "y/"));
        QCOMPARE(prompter_->questions().size(), 0);
    }

    void exitButtonAndCloseItemStoreTheSettings()
    {
        w_->tbToolBar_ButtonClick("一覧");
        QTest::mouseClick(w_->tbToolBar->button("終了"), Qt::LeftButton);
        QTRY_VERIFY(!w_->isVisible());
        QCOMPARE(box_->read("ViewMode"), QString("2"));
        QCOMPARE(box_->read("MainMax"), QString("0"));

        w_->show();
        w_->tbToolBar_ButtonClick("詳細");
        w_->menus()->mnuFileClose->trigger();
        QTRY_VERIFY(!w_->isVisible());
        QCOMPARE(box_->read("ViewMode"), QString("3"));
    }

    void closingTheMainWindowClosesTheOthers()
    {
        QWidget other;
        other.setWindowTitle("other");
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        w_->close();
        QVERIFY(!other.isVisible());
    }
};

QTEST_MAIN(tst_MainCommands)
#include "tst_MainCommands.moc"
