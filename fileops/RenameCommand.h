#pragma once

#include <QString>

class CommandHost;
class FileListView;

// Renaming an entry in place in the file list, in the list's two label-edit
// steps: before the edit (a warning for read-only, hidden and special
// entries, which programs may rely on) and after it (the rename on disk).
//
// Names compare exactly, as the file system does: "abc.txt" to "ABC.TXT" is
// a rename on a case-sensitive volume; on one that folds case the new name
// finds the old entry and nothing is done. An existing entry of the new name
// is never replaced, whatever its kind.
class RenameCommand {
public:
    explicit RenameCommand(CommandHost& host);

    // Before label edit: remembers the name and asks about R, H and S
    // entries; No sets *cancel.
    void lvListView_BeforeLabelEdit(const QString& key, const QString& text, bool* cancel);
    // After label edit: renames Path() + old name to Path() + newText unless
    // the edit was cancelled (empty newText), the name is no name ("/",
    // ".", ".."), or an entry of that name exists; then the refresh pattern.
    void lvListView_AfterLabelEdit(const QString& key, const QString& oldText, const QString& newText);

    // Connects both label-edit signals of the list to this command. The
    // command must outlive the list's signals (the window owns both).
    void attach(FileListView& list);

    // `OldName`: the name whose edit began last.
    const QString& OldName() const { return oldName_; }

private:
    static bool isPlainName(const QString& name);
    static bool entryExists(const QString& path);
    static bool renameEntry(const QString& from, const QString& to);

    CommandHost& host_;
    QString oldName_;
};
