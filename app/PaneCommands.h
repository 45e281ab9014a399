#pragma once

#include <QObject>
#include <functional>

class FileListView;
class FolderTree;
class MainMenus;
class QMenu;
class QPoint;
class QWidget;

// What users of every file manager reach for on the two panes: a context menu
// on the list and one on the tree, holding the very menu items of the menu
// bar (so they run the same handlers), and Backspace / Alt+Up for up one folder.
class PaneCommands : public QObject {
    Q_OBJECT
public:
    PaneCommands(QWidget& window, FolderTree& tree, FileListView& list, MainMenus& menus,
                 std::function<void()> upOneFolder);

    QMenu* listMenu() const { return listMenu_; }
    QMenu* treeMenu() const { return treeMenu_; }

private:
    void showTreeMenu(const QPoint& pos);
    void showListMenu(const QPoint& pos);

    FolderTree& tree_;
    FileListView& list_;
    QMenu* listMenu_ = nullptr;
    QMenu* treeMenu_ = nullptr;
};
