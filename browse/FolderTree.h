#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include <functional>

class BrowseHost;

// The folder tree `tvTreeView`: one top-level node per volume, and below each
// the folders of that volume, read lazily. A node whose folder has unread
// subfolders carries exactly one placeholder child, so the expander shows
// exactly where there is something to open while each folder is read only one
// level ahead of what is shown.
//
// Every node carries its key (the folder's full path ending in "/") in the
// KeyRole of column 0. Keys compare exactly: "A" and "a" are two folders.
class FolderTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1;
    static constexpr int ImageKeyRole = Qt::UserRole + 2;
    static constexpr int SelectedImageKeyRole = Qt::UserRole + 3;
    // Set on placeholder children only: a real folder may bear the same name.
    static constexpr int PlaceholderRole = Qt::UserRole + 4;

    // The text of the placeholder child; its key is the parent's key + DummyText + "/".
    static const QString DummyText;

    explicit FolderTree(BrowseHost& host, QWidget* parent = nullptr);

    // Adds one node per volume, each with a placeholder child.
    void AddDriveNodes();
    // Rebuilds the whole tree from the volumes and opens it again at the current path.
    void tvTreeView_Refresh();
    // `Path` let: makes `strNewPath` the current path (cut back to the part that
    // exists) and opens the tree down to it.
    void setPath(const QString& strNewPath);

    // Choosing a node (what a click does): lists its folder, makes it the
    // current path, switches the list-click flag off. Shows a message when the
    // folder cannot be read.
    void chooseNode(QTreeWidgetItem* node);
    // The expand handling; runs for user and programmatic expansions alike.
    void tvTreeView_Expand(QTreeWidgetItem* node);
    // The collapse handling of a user's collapse.
    void tvTreeView_Collapse(QTreeWidgetItem* node);

    // The node with exactly this key, or null. Hashed, not a walk.
    QTreeWidgetItem* nodeByKey(const QString& key) const;
    static QString keyOf(const QTreeWidgetItem* node);
    static bool isPlaceholder(const QTreeWidgetItem* node);
    // The key of the selected node, empty when none is selected.
    QString selectedKey() const;

    // Opening a folder from the file list: `next` (already the current path)
    // is a subfolder of `previous`. Expands the node of `previous` (reading
    // it if needed, listing the current path) and selects the node of `next`.
    void openFolderFrom(const QString& previous, const QString& next);

    // The picture cache of the tree, keyed "ICON:<icon name>"; emptied on rebuild.
    const QHash<QString, QIcon>& IconImageList() const { return iconImageList_; }

    // How many times each folder's subfolders were read since the last rebuild
    // (read once per folder is the point of the lazy tree; tests check it).
    int readCount(const QString& key) const { return readCounts_.value(key); }

    // Replaces the volume source (tests point the tree at a temporary folder
    // instead of the machine's mounts). Each entry: key ("/tmp/x/"), display text, icon name.
    struct Volume {
        QString key;
        QString text;
        QString iconName;
    };
    void setVolumeSource(std::function<QList<Volume>()> source);
    // Replaces the readability check of a folder (0 or an errno); tests use it
    // to stand for a volume without its medium.
    void setFolderProbe(std::function<int(const QString&)> probe);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AddDriveNode(const Volume& volume);
    void AddDummyChild(const QString& key);
    void AddChildFolders(const QString& path);
    void CheckSubfolders(const QString& path);
    QString addIcon(const QString& iconName);
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                             const QString& imageKey, const QString& selectedImageKey);
    void forgetKeys(QTreeWidgetItem* node);
    void readIfPlaceholder(QTreeWidgetItem* node);
    void sortChildren(QTreeWidgetItem* node);
    void expandProgrammatically(QTreeWidgetItem* node);
    void collapseProgrammatically(QTreeWidgetItem* node);
    bool chooseNodeChecked(QTreeWidgetItem* node);
    int probeFolder(const QString& key);
    void updateTitles();
    void relistAndSelectCurrent();
    void selectNode(QTreeWidgetItem* node);
    void showReadFailure(QTreeWidgetItem* node, int error);
    void settleOnNearestExisting(const QString& goneKey);
    void showSelectedImage(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    QTreeWidgetItem* volumeNodeOf(const QString& path) const;
    void onItemClicked(QTreeWidgetItem* item, int column);
    void onItemExpanded(QTreeWidgetItem* item);
    void onItemCollapsed(QTreeWidgetItem* item);

    BrowseHost& host_;
    QHash<QString, QTreeWidgetItem*> nodes_;
    QHash<QString, QIcon> iconImageList_;
    QHash<QString, int> readCounts_;
    QStringList subfolderNames_;
    std::function<QList<Volume>()> volumeSource_;
    std::function<int(const QString&)> probe_;
    // Set while the program itself expands or collapses nodes, so the
    // notifications of those changes do not run the handling a second time.
    int programmatic_ = 0;
};
