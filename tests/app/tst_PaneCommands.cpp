#include "AppTestSupport.h"

#include "app/PaneCommands.h"
#include "platform/ScriptedPrompter.h"

#include <QAccessible>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

// The context menus of the two panes, the keys for up one folder, and what a
// screen reader and the View menu show of the window.
class tst_PaneCommands : public WindowSuite {
    Q_OBJECT

    static QStringList names(const QMenu* menu)
    {
        QStringList out;
        for (const QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        return out;
    }

    void showActive()
    {
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_));
    }

private slots:
    void init()
    {
        QVERIFY(makeWindow({"work/deep", "other"}));
        QFile f(root_ + "work/a.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
    }

    void cleanup() { fixture_.reset(); }

    void contextMenusHoldTheMenuBarsItems()
    {
        PaneCommands* panes = w_->paneCommands();
        QCOMPARE(names(panes->listMenu()),
                 (QStringList{"mnuFileDivide", "mnuFileJoin", "mnuFileCompress", "mnuFileExtract", "-",
                              "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "-", "mnuFileDelete", "-",
                              "mnuEditSelectAll", "mnuViewRefresh"}));
        QCOMPARE(names(panes->treeMenu()),
                 (QStringList{"mnuFileCompress", "-", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "-",
                              "mnuFileDelete", "-", "mnuViewRefresh"}));
        // The very items of the menu bar, so the very handlers.
        QCOMPARE(panes->listMenu()->actions().at(5), w_->menus()->mnuEditCut);
    }

    void rightClickInTheTreeChoosesThatFolderForTheMenu()
    {
        showActive();
        choose("work/");
        QTreeWidgetItem* other = w_->tvTreeView->nodeByKey(root_ + "other/");
        QVERIFY(other);
        const QPoint at = w_->tvTreeView->visualItemRect(other).center();
        emit w_->tvTreeView->customContextMenuRequested(at);
        QTRY_VERIFY(w_->paneCommands()->treeMenu()->isVisible());
        QCOMPARE(w_->Path(), root_ + "other/");
        QCOMPARE(w_->tvTreeView->selectedKey(), root_ + "other/");
        QVERIFY(!w_->listClicked());
        w_->paneCommands()->treeMenu()->close();
        w_->menus()->mnuEditCopy->trigger();
        QCOMPARE(w_->PathList, QStringList{root_ + "other/"});
    }

    void backspaceAndAltUpGoUpButNotWhileRenaming()
    {
        showActive();
        choose("work/deep/");
        w_->tvTreeView->setFocus();
        QTest::keyClick(w_->tvTreeView, Qt::Key_Backspace);
        QCOMPARE(w_->Path(), root_ + "work/");
        QTest::keyClick(w_->tvTreeView, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(w_->Path(), root_);
        QCOMPARE(w_->tvTreeView->selectedKey(), root_);

        choose("work/");
        QVERIFY(w_->lvListView->selectOnly(root_ + "work/a.txt"));
        QVERIFY(w_->lvListView->startLabelEdit(root_ + "work/a.txt"));
        QLineEdit* editor = nullptr;
        QTRY_VERIFY((editor = w_->lvListView->currentView()->findChild<QLineEdit*>()) != nullptr);
        editor->setText("ab");
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QCOMPARE(editor->text(), QString("a"));
        QCOMPARE(w_->Path(), root_ + "work/");
        QTest::keyClick(editor, Qt::Key_Escape);
    }

    void viewModesAreRadioItems()
    {
        for (QAction* mode : w_->menus()->mnuListViewMode) {
            QVERIFY(mode->actionGroup());
            QVERIFY(mode->actionGroup()->isExclusive());
        }
        w_->menus()->mnuListViewMode[2]->trigger();
        QCOMPARE(w_->menus()->checkedViewMode(), 2);
        w_->menus()->mnuListViewMode[2]->trigger();  // again: stays the one checked
        QCOMPARE(w_->menus()->checkedViewMode(), 2);
        w_->menus()->checkViewMode(9);  // none, as before
        QCOMPARE(w_->menus()->checkedViewMode(), -1);
    }

    void screenReadersReadTheToolbarAndOneItemPerEntry()
    {
        for (QAction* action : w_->tbToolBar->actions()) {
            if (action->isSeparator())
                continue;
            QWidget* button = w_->tbToolBar->widgetForAction(action);
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
            QVERIFY(face);
            QCOMPARE(face->text(QAccessible::Name), action->toolTip());
        }
        choose("work/");
        for (int mode : {0, 1, 2}) {
            w_->SetViewMode(mode);
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w_->lvListView->currentView());
            QVERIFY(list);
            QCOMPARE(list->childCount(), w_->lvListView->count());
            QStringList read;
            for (int i = 0; i < list->childCount(); ++i)
                read << list->child(i)->text(QAccessible::Name);
            QCOMPARE(read, (QStringList{"deep", "a.txt"}));
        }
    }
};

QTEST_MAIN(tst_PaneCommands)
#include "tst_PaneCommands.moc"
