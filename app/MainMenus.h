#pragma once

#include <QKeySequence>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;

// The menu bar of the main window. Every item is a QAction whose objectName is
// the item's name (mnuFileDivide ...); the view-mode items are the array
// mnuListViewMode(0..3), named mnuListViewMode_0 ... mnuListViewMode_3.
// The main window connects the items to its handlers.
class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(QMenuBar* bar);

    QMenu* mnuFile = nullptr;
    QAction* mnuFileDivide = nullptr;
    QAction* mnuFileJoin = nullptr;
    QAction* mnuFileCompress = nullptr;
    QAction* mnuFileExtract = nullptr;
    QAction* mnuFileDelete = nullptr;
    QAction* mnuFileVacume = nullptr;
    QAction* mnuFileBar1 = nullptr;
    QAction* mnuFileBar3 = nullptr;
    QAction* mnuFileClose = nullptr;

    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditBar1 = nullptr;
    QAction* mnuEditSelectAll = nullptr;

    QMenu* mnuView = nullptr;
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewBar0 = nullptr;
    QAction* mnuListViewMode[4] = {};
    QAction* mnuViewBar1 = nullptr;
    QAction* mnuViewArrangeIcons = nullptr;
    QAction* mnuViewBar2 = nullptr;
    QAction* mnuViewRefresh = nullptr;

    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpSearchForHelpOn = nullptr;
    QAction* mnuHelpBar0 = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // Checks exactly mnuListViewMode(mode); a mode outside 0..3 checks none.
    void checkViewMode(int mode);
    // The index of the one checked view-mode item, -1 unless exactly one is.
    int checkedViewMode() const;

private:
    QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    QAction* addBar(QMenu* menu, const char* name);
};
