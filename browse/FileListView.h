#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class BrowseHost;
class FileListModel;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QModelIndex;
class QStackedLayout;
class QTreeView;

// One item of the file list as the commands see it.
struct FileListItem {
    QString name;  // the entry's name as stored
    QString key;   // its full path: current path + name, no trailing "/"
    QString type;  // "ﾌｫﾙﾀﾞ" for a folder, "ﾌｧｲﾙ" for anything else
};

// The file list `lvListView`: one model over the entries of the current
// folder and two views of it sharing one selection model — a QListView for
// large icons (mode 0), small icons (1) and list (2), a QTreeView with the
// column headers for details (3) — so switching modes keeps the selection.
class FileListView : public QWidget {
    Q_OBJECT
public:
    static const QString FolderType;  // "ﾌｫﾙﾀﾞ"
    static const QString FileType;    // "ﾌｧｲﾙ"

    explicit FileListView(BrowseHost& host, QWidget* parent = nullptr);
    ~FileListView() override;

    // The view mode: 0 large icons, 1 small icons, 2 list, 3 details.
    void setView(int mode);
    int view() const { return view_; }

    // Adds the entries of the folder `path` and sorts by name, folders first.
    // Does not empty the list first: callers clear() it.
    void ListFolder(const QString& path);
    void clear();

    int count() const;
    FileListItem item(int row) const;  // in display order
    int rowOfKey(const QString& key) const;  // -1 when absent
    QList<FileListItem> selectedItems() const;  // in display order

    // mnuEditSelectAll: selects every item, but only while the list-click flag
    // is on (after a tree click there is nothing of the list to select).
    void mnuEditSelectAll_Click();
    // Makes the item with this key the only selected (and current) item.
    bool selectOnly(const QString& key);
    // Starts the in-place edit of the item's name. The rename itself is not
    // done here: see afterLabelEdit.
    bool startLabelEdit(const QString& key);

    // Sorting: by a column (0 name, 1 type, 2 size, 3 time, 4 attributes),
    // folders always ahead of files.
    void sortItems(int column, bool ascending);
    // A click on a column header: the same column again flips the direction.
    void lvListView_ColumnClick(int column);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }

    // Opening a folder item (double click). Files are not opened.
    void lvListView_DblClick();

    FileListModel* model() const { return model_; }
    QListView* listView() const { return listView_; }
    QTreeView* detailsView() const { return detailsView_; }
    QAbstractItemView* currentView() const;
    QItemSelectionModel* selectionModel() const;

signals:
    // Before the in-place edit of an item begins; set *cancel to stop it.
    void beforeLabelEdit(const QString& key, const QString& text, bool* cancel);
    // After an in-place edit: newText is empty when the edit was cancelled.
    // The list itself keeps the old text; whoever renames lists the folder again.
    void afterLabelEdit(const QString& key, const QString& oldText, const QString& newText);

private:
    void setUpListView();
    void setUpDetailsView();
    void onItemClicked();
    bool allowEdit(const QModelIndex& index);
    QList<int> selectedRows() const;

    BrowseHost& host_;
    FileListModel* model_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    QListView* listView_ = nullptr;
    QTreeView* detailsView_ = nullptr;
    int view_ = 0;
    int sortColumn_ = 0;
    bool sortAscending_ = true;
};
