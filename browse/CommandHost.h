#pragma once

#include "browse/BrowseHost.h"

#include <QStringList>
#include <memory>

class Progress;
class QWidget;

// The main window as the file commands (clipboard, trash, rename, divide,
// join, help) see it: the browsing state of BrowseHost plus the shared path
// list, the copy-or-move flag, the refresh pattern and long-work progress.
// frmMain implements it; tests use tests/support/FakeCommandHost.h.
class CommandHost : public BrowseHost {
public:
    // The window that owns the command's dialogs and that they are centred on.
    virtual QWidget* ownerWindow() = 0;

    // `PathList`: full paths collected by Copy, Cut, Delete, Divide and Join;
    // Paste works on it. Paths from list items have no trailing "/", a path
    // from the tree is a node key and ends with "/".
    virtual QStringList& pathList() = 0;
    // `CopyMode`: on after Copy (Paste copies), off after Cut (Paste moves).
    virtual bool copyMode() const = 0;
    virtual void setCopyMode(bool on) = 0;

    // The refresh pattern: tvTreeView_Refresh, clear the file list, then
    // ListFolder with the current path.
    virtual void refreshAll() = 0;

    // A fresh progress reporter for one piece of long work.
    virtual std::unique_ptr<Progress> makeProgress() = 0;
};
