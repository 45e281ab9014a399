#include "app/PaneCommands.h"

#include "app/MainMenus.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"

#include <QMenu>
#include <QShortcut>

namespace {

// A menu of existing items; null stands for a separator.
QMenu* menuOf(QWidget* parent, const char* name, std::initializer_list<QAction*> items)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(name));
    for (QAction* item : items) {
        if (item)
            menu->addAction(item);
        else
            menu->addSeparator();
    }
    return menu;
}

} // namespace

PaneCommands::PaneCommands(QWidget& window, FolderTree& tree, FileListView& list, MainMenus& m,
                           std::function<void()> upOneFolder)
    : QObject(&window), tree_(tree), list_(list)
{
    // The list: its selection (Divide, Join and Extract work on files there).
    listMenu_ = menuOf(&list, "mnuListContext",
                       {m.mnuFileDivide, m.mnuFileJoin, m.mnuFileCompress, m.mnuFileExtract, nullptr,
                        m.mnuEditCut, m.mnuEditCopy, m.mnuEditPaste, nullptr, m.mnuFileDelete, nullptr,
                        m.mnuEditSelectAll, m.mnuViewRefresh});
    // The tree: its chosen folder, which the commands take while the list is not chosen.
    treeMenu_ = menuOf(&tree, "mnuTreeContext",
                       {m.mnuFileCompress, nullptr, m.mnuEditCut, m.mnuEditCopy, m.mnuEditPaste, nullptr,
                        m.mnuFileDelete, nullptr, m.mnuViewRefresh});

    tree.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&tree, &QWidget::customContextMenuRequested, this, &PaneCommands::showTreeMenu);
    // The list's views leave the request to the list around them.
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&list, &QWidget::customContextMenuRequested, this, &PaneCommands::showListMenu);

    for (const QKeySequence key : {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Up)}) {
        // An open name editor takes Backspace first (it claims editing keys).
        auto* shortcut = new QShortcut(key, &window);
        connect(shortcut, &QShortcut::activated, this, upOneFolder);
    }
}

void PaneCommands::showTreeMenu(const QPoint& pos)
{
    // The folder under the pointer becomes the chosen one, as a click makes it,
    // so the menu's commands work on what the user pointed at.
    QTreeWidgetItem* node = tree_.itemAt(pos);
    if (node && !FolderTree::isPlaceholder(node) && node != tree_.currentItem()) {
        tree_.setCurrentItem(node);
        tree_.chooseNode(node);
    }
    treeMenu_->popup(tree_.viewport()->mapToGlobal(pos));
}

void PaneCommands::showListMenu(const QPoint& pos)
{
    // The press that asked for the menu chose in the list already.
    listMenu_->popup(list_.mapToGlobal(pos));
}
