#pragma once

#include <QString>

class Prompter;
class QLabel;
class FolderTree;
class FileListView;

// The narrow view of the main window that the folder tree and the file list
// work through. frmMain implements it; tests use a small fake. The window owns
// the current path text and the list-click flag; the tree and the list only
// read and write them here, so neither needs to know the whole window.
class BrowseHost {
public:
    virtual ~BrowseHost() = default;

    // Every message the tree and the list show goes through this.
    virtual Prompter& prompter() = 0;

    // The current path ("/" or "/home/aki/docs/", always ending in "/"), empty
    // until a folder is first chosen. Path() is the window's `Path` get.
    virtual QString Path() const = 0;
    // Only stores the text. Opening the tree down to a path (`Path` let) is
    // FolderTree::setPath, which calls this when it is done.
    virtual void storePath(const QString& path) = 0;

    // On when the user's last choice was an item of the file list, off when it
    // was a folder of the tree.
    virtual bool listClicked() const = 0;
    virtual void setListClicked(bool on) = 0;

    // The title labels above the panes: lblTitle(0) shows the volume part of the
    // current path, lblTitle(1) the whole path. May return null (no label).
    virtual QLabel* lblTitle(int index) = 0;

    // The two controls, so each can reach the other (the tree lists folders into
    // the list; the list opens folders through the tree).
    virtual FolderTree* folderTree() = 0;
    virtual FileListView* fileList() = 0;
};
