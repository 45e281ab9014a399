#pragma once

#include <QString>

class CommandHost;

// Cut, Copy and Paste of the main window. Cut and Copy only record what is
// selected (PathList) and whether Paste copies or moves (CopyMode); Paste does
// the work, one path at a time, into the folder selected in the tree.
// PathList and CopyMode stay as they are after a paste, so pasting again
// repeats it: a second copy gets a copy name, a second move finds its sources
// gone and fails.
class ClipboardCommands {
public:
    explicit ClipboardCommands(CommandHost& host);

    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();

    static QString failureText();

private:
    void fail();

    CommandHost& host_;
};
