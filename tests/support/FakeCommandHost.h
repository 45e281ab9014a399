#pragma once

#include "browse/CommandHost.h"
#include "browse/FileListModel.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "platform/ScriptedProgress.h"
#include "platform/ScriptedPrompter.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QWidget>

// The main window as the file commands see it, with the real tree and list
// and a scripted Prompter and Progress. `progress` is handed out once per
// makeProgress(); set cancelAtReport on it before running a command.
class FakeCommandHost : public CommandHost {
public:
    FakeCommandHost() : tree(*this, &window), list(*this, &window) {}

    // Shows only `root` (ending in "/") as the one volume of the tree.
    void showOnlyVolume(const QString& root)
    {
        tree.setVolumeSource([root] {
            return QList<FolderTree::Volume>{{root, QStringLiteral("Test"), QStringLiteral("drive-harddisk")}};
        });
        tree.tvTreeView_Refresh();
    }

    // Opens `folder` (ending in "/") in the tree and lists it, as a click would.
    void openFolder(const QString& folder) { tree.setPath(folder); }

    // Selects the list items with these names (only them) and sets the
    // list-click flag, as clicks in the list would.
    bool selectNames(const QStringList& names)
    {
        list.selectionModel()->clearSelection();
        bool all = true;
        for (const QString& name : names) {
            const int row = list.rowOfKey(path + name);
            if (row < 0) {
                all = false;
                continue;
            }
            const QModelIndex index = list.model()->index(row, 0);
            list.selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        clicked = true;
        return all;
    }

    // BrowseHost
    Prompter& prompter() override { return prompts; }
    QString Path() const override { return path; }
    void storePath(const QString& p) override { path = p; }
    bool listClicked() const override { return clicked; }
    void setListClicked(bool on) override { clicked = on; }
    QLabel* lblTitle(int index) override { return index == 0 ? &title0 : &title1; }
    FolderTree* folderTree() override { return &tree; }
    FileListView* fileList() override { return &list; }

    // CommandHost
    QWidget* ownerWindow() override { return &window; }
    QStringList& pathList() override { return paths; }
    bool copyMode() const override { return copy; }
    void setCopyMode(bool on) override { copy = on; }
    void refreshAll() override
    {
        ++refreshes;
        tree.tvTreeView_Refresh();
        list.clear();
        list.ListFolder(path);
    }
    std::unique_ptr<Progress> makeProgress() override
    {
        struct Forward : Progress {
            ScriptedProgress& to;
            explicit Forward(ScriptedProgress& p) : to(p) {}
            void start(const QString& c, qint64 t) override { to.start(c, t); }
            bool report(const QString& i, qint64 d) override { return to.report(i, d); }
            void finish() override { to.finish(); }
        };
        return std::make_unique<Forward>(progress);
    }

    QWidget window;
    ScriptedPrompter prompts;
    ScriptedProgress progress;
    QString path;
    bool clicked = false;
    QStringList paths;
    bool copy = false;
    int refreshes = 0;
    QLabel title0;
    QLabel title1;
    FolderTree tree;
    FileListView list;
};
