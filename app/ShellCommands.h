#pragma once

#include <QString>

class BrowseHost;

// The small commands of the shell itself, working on the tree, the list and
// the current path through the browse host: up one folder, new folder,
// arrange icons, refresh.
class ShellCommands {
public:
    explicit ShellCommands(BrowseHost& host) : host_(host) {}

    // Chooses the parent of the tree's selected node (nothing when there is
    // none: a volume or no selection), then rebuilds the tree.
    void UpOneFolder();

    // Creates NewFolder, NewFolder1 ... in the current folder, lists the folder
    // again, selects the new folder alone and opens its name for editing.
    // Returns false when the command ended early (no current folder, or the
    // name asked for when every provisional name is taken was unusable).
    bool NewFolder();

    void ArrangeIcons();
    void Refresh();

    // Whether `name` can name a new entry of a folder: not empty, not "." or
    // "..", no "/" or NUL, at most 255 bytes as the file system stores it.
    static bool isValidName(const QString& name);

    static const QString NoProvisionalNameMessage;  // "仮のﾌｫﾙﾀﾞ名を付けられません"
    static const QString FolderNamePrompt;          // "フォルダ名を入力して下さい｡"
    static const QString InvalidNameMessage;
    static const QString NameTakenMessage;

private:
    // The name for the new folder, or empty when the command ends here.
    QString chooseName(const QString& path);

    BrowseHost& host_;
};
