#pragma once

#include "browse/BrowseHost.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "platform/ScriptedPrompter.h"

#include <QLabel>

// The main window as the tree and the list see it, with the real controls.
class FakeBrowseHost : public BrowseHost {
public:
    FakeBrowseHost() : tree(*this), list(*this) {}

    Prompter& prompter() override { return prompts; }
    QString Path() const override { return path; }
    void storePath(const QString& p) override { path = p; }
    bool listClicked() const override { return clicked; }
    void setListClicked(bool on) override { clicked = on; }
    QLabel* lblTitle(int index) override { return index == 0 ? &title0 : &title1; }
    FolderTree* folderTree() override { return &tree; }
    FileListView* fileList() override { return &list; }

    ScriptedPrompter prompts;
    QString path;
    bool clicked = false;
    QLabel title0;
    QLabel title1;
    FolderTree tree;
    FileListView list;
};
