#pragma once

#include <QStringList>

#include <functional>

class Archiver;
class CommandHost;
class frmCompressDialog;

// Compress (mnuFileCompress and its toolbar button "圧縮"): collects the
// selected files and folders of the list, or the tree's folder after a tree
// click, shows frmCompressDialog for them and refreshes the window after it
// closed, whatever happened in it.
class CompressCommand {
public:
    CompressCommand(CommandHost& host, Archiver& archiver);

    void run();

    // Shows the dialog and returns when it has closed; modal by default. Tests
    // replace it to work the dialog's controls themselves.
    std::function<void(frmCompressDialog&)> showDialog;

    // The targets: full paths in list order, a folder's with a trailing "/".
    QStringList targets() const;

private:
    CommandHost& host_;
    Archiver& archiver_;
};
