#include "app/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

MainMenus::MainMenus(QMenuBar* bar) : QObject(bar)
{
    setObjectName(QStringLiteral("MainMenus"));

    mnuFile = addMenu(bar, "mnuFile", QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuFileDivide = addItem(mnuFile, "mnuFileDivide", QStringLiteral("分割"));
    mnuFileJoin = addItem(mnuFile, "mnuFileJoin", QStringLiteral("結合"));
    mnuFileCompress = addItem(mnuFile, "mnuFileCompress", QStringLiteral("圧縮"));
    mnuFileExtract = addItem(mnuFile, "mnuFileExtract", QStringLiteral("解凍"));
    mnuFileDelete = addItem(mnuFile, "mnuFileDelete", QStringLiteral("ごみ箱に移動(&D)"),
                            QKeySequence(Qt::Key_Delete));
    mnuFileVacume = addItem(mnuFile, "mnuFileVacume", QStringLiteral("ごみ箱を空にする(&B)"));
    // Two separator lines stand one below the other, so Qt must not merge them.
    mnuFile->setSeparatorsCollapsible(false);
    mnuFileBar1 = addBar(mnuFile, "mnuFileBar1");
    mnuFileBar3 = addBar(mnuFile, "mnuFileBar3");
    mnuFileClose = addItem(mnuFile, "mnuFileClose", QStringLiteral("閉じる(&C)"));

    mnuEdit = addMenu(bar, "mnuEdit", QStringLiteral("編集(&E)"));
    mnuEditCut = addItem(mnuEdit, "mnuEditCut", QStringLiteral("切り取り(&T)"),
                         QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuEditCopy = addItem(mnuEdit, "mnuEditCopy", QStringLiteral("ｺﾋﾟｰ(&C)"),
                          QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuEditPaste = addItem(mnuEdit, "mnuEditPaste", QStringLiteral("貼り付け(&P)"),
                           QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuEditBar1 = addBar(mnuEdit, "mnuEditBar1");
    mnuEditSelectAll = addItem(mnuEdit, "mnuEditSelectAll", QStringLiteral("すべて選択(&A)"),
                               QKeySequence(Qt::CTRL | Qt::Key_A));

    mnuView = addMenu(bar, "mnuView", QStringLiteral("表示(&V)"));
    mnuViewToolbar = addItem(mnuView, "mnuViewToolbar", QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"));
    mnuViewStatusBar = addItem(mnuView, "mnuViewStatusBar", QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&B)"));
    for (QAction* bar : {mnuViewToolbar, mnuViewStatusBar}) {
        bar->setCheckable(true);
        bar->setChecked(true);
    }
    mnuViewBar0 = addBar(mnuView, "mnuViewBar0");
    const QString modeCaptions[4] = {QStringLiteral("大きいｱｲｺﾝ(&G)"), QStringLiteral("小さいｱｲｺﾝ(&M)"),
                                     QStringLiteral("一覧(&L)"), QStringLiteral("詳細(&D)")};
    const char* modeNames[4] = {"mnuListViewMode_0", "mnuListViewMode_1", "mnuListViewMode_2",
                                "mnuListViewMode_3"};
    // One group, so the four show as radio items; the handlers keep the mark
    // on the current mode.
    auto* modes = new QActionGroup(this);
    modes->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = 0; i < 4; ++i) {
        mnuListViewMode[i] = addItem(mnuView, modeNames[i], modeCaptions[i]);
        mnuListViewMode[i]->setCheckable(true);
        modes->addAction(mnuListViewMode[i]);
    }
    mnuViewBar1 = addBar(mnuView, "mnuViewBar1");
    mnuViewArrangeIcons = addItem(mnuView, "mnuViewArrangeIcons", QStringLiteral("ｱｲｺﾝの整列(&I)"));
    mnuViewBar2 = addBar(mnuView, "mnuViewBar2");
    mnuViewRefresh = addItem(mnuView, "mnuViewRefresh", QStringLiteral("最新の情報に更新(&R)"));

    mnuHelp = addMenu(bar, "mnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    mnuHelpContents = addItem(mnuHelp, "mnuHelpContents", QStringLiteral("目次(&C)"));
    mnuHelpSearchForHelpOn = addItem(mnuHelp, "mnuHelpSearchForHelpOn",
                                     QStringLiteral("ﾄﾋﾟｯｸの検索(&S)..."));
    mnuHelpBar0 = addBar(mnuHelp, "mnuHelpBar0");
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
}

QMenu* MainMenus::addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* MainMenus::addItem(QMenu* menu, const char* name, const QString& caption,
                            const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QAction* MainMenus::addBar(QMenu* menu, const char* name)
{
    QAction* bar = menu->addSeparator();
    bar->setObjectName(QLatin1String(name));
    return bar;
}

void MainMenus::checkViewMode(int mode)
{
    for (int i = 0; i < 4; ++i)
        mnuListViewMode[i]->setChecked(i == mode);
}

int MainMenus::checkedViewMode() const
{
    int found = -1;
    for (int i = 0; i < 4; ++i) {
        if (!mnuListViewMode[i]->isChecked())
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}
