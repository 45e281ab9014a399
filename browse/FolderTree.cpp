#include "browse/FolderTree.h"

#include "browse/BrowseHost.h"
#include "browse/FileListView.h"
#include "browse/ReadFailure.h"
#include "browse/WaitCursor.h"
#include "platform/ApplicationTitle.h"
#include "platform/DirectoryReader.h"
#include "platform/IconService.h"
#include "platform/LongPath.h"
#include "platform/Prompter.h"
#include "platform/VolumeService.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>
#include <cerrno>

const QString FolderTree::DummyText = QStringLiteral("\\\\DUMMY\\\\");

namespace {

const QString& applicationTitle()
{
    static const QString title = ApplicationTitle();
    return title;
}

QString withSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// Sibling folders order as people read them, letter case aside; the exact
// comparison then keeps "A" and "a" apart in a fixed order.
bool textLess(const QTreeWidgetItem* a, const QTreeWidgetItem* b)
{
    const QString x = a->text(0);
    const QString y = b->text(0);
    const int folded = x.compare(y, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : x.compare(y, Qt::CaseSensitive) < 0;
}

QList<FolderTree::Volume> machineVolumes()
{
    QList<FolderTree::Volume> list;
    for (const VolumeService::Volume& v : VolumeService::volumes())
        list.append({v.key, v.displayName(), v.iconName()});
    return list;
}

// Counts the program's own expansions and collapses, whose notifications
// must not run the user's handling.
class Programmatic {
public:
    explicit Programmatic(int& depth) : depth_(depth) { ++depth_; }
    ~Programmatic() { --depth_; }
    Programmatic(const Programmatic&) = delete;
    Programmatic& operator=(const Programmatic&) = delete;

private:
    int& depth_;
};

}  // namespace

FolderTree::FolderTree(BrowseHost& host, QWidget* parent)
    : QTreeWidget(parent),
      host_(host),
      volumeSource_(machineVolumes),
      probe_([](const QString& path) { return VolumeService::probe(path); })
{
    setObjectName(QStringLiteral("tvTreeView"));
    setColumnCount(1);
    setHeaderHidden(true);
    // Names are shown whole and the tree scrolls sideways, as a folder tree
    // does: a narrow pane must not cut "Documents" down to "D…".
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setRootIsDecorated(true);
    setIndentation(16 * (logicalDpiX() > 0 ? logicalDpiX() : 96) / 96);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The chosen folder stays marked when the focus moves to the list.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    connect(this, &QTreeWidget::itemClicked, this, &FolderTree::onItemClicked);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::onItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &FolderTree::onItemCollapsed);
    connect(this, &QTreeWidget::currentItemChanged, this, &FolderTree::showSelectedImage);
}

void FolderTree::setVolumeSource(std::function<QList<Volume>()> source)
{
    volumeSource_ = std::move(source);
}

void FolderTree::setFolderProbe(std::function<int(const QString&)> probe)
{
    probe_ = std::move(probe);
}

QString FolderTree::keyOf(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

bool FolderTree::isPlaceholder(const QTreeWidgetItem* node)
{
    return node && node->data(0, PlaceholderRole).toBool();
}

QTreeWidgetItem* FolderTree::nodeByKey(const QString& key) const
{
    return nodes_.value(key, nullptr);
}

QString FolderTree::selectedKey() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : keyOf(selected.first());
}

QString FolderTree::addIcon(const QString& iconName)
{
    const QString key = QStringLiteral("ICON:") + iconName;
    if (!iconImageList_.contains(key))
        iconImageList_.insert(key, IconService::icon(iconName));
    return key;
}

QTreeWidgetItem* FolderTree::addNode(QTreeWidgetItem* parent, const QString& key,
                                     const QString& text, const QString& imageKey,
                                     const QString& selectedImageKey)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, ImageKeyRole, imageKey);
    node->setData(0, SelectedImageKeyRole, selectedImageKey);
    if (!imageKey.isEmpty())
        node->setIcon(0, iconImageList_.value(imageKey));
    nodes_.insert(key, node);
    return node;
}

void FolderTree::forgetKeys(QTreeWidgetItem* node)
{
    for (int i = 0; i < node->childCount(); ++i)
        forgetKeys(node->child(i));
    const QString key = keyOf(node);
    if (nodes_.value(key) == node)
        nodes_.remove(key);
}

void FolderTree::AddDriveNodes()
{
    // Every volume the system has, however many: no fixed-size buffer.
    for (const Volume& volume : volumeSource_())
        AddDriveNode(volume);
}

void FolderTree::AddDriveNode(const Volume& volume)
{
    const QString key = withSlash(volume.key);
    if (nodes_.contains(key))
        return;
    const QString imageKey = addIcon(volume.iconName.isEmpty() ? QStringLiteral("drive-harddisk")
                                                               : volume.iconName);
    addNode(nullptr, key, volume.text, imageKey, QString());
    // Volumes are not searched here: every one starts with a placeholder, so
    // a dead or empty medium costs nothing until it is opened.
    AddDummyChild(key);
}

void FolderTree::AddDummyChild(const QString& key)
{
    QTreeWidgetItem* parent = nodeByKey(key);
    if (!parent)
        return;
    QTreeWidgetItem* dummy =
        addNode(parent, key + DummyText + QLatin1Char('/'), DummyText, QString(), QString());
    dummy->setData(0, PlaceholderRole, true);
}

void FolderTree::AddChildFolders(const QString& path)
{
    QTreeWidgetItem* parent = nodeByKey(path);
    if (!parent)
        return;
    {
        WaitCursor wait;
        DirectoryReader::subfolders(path, subfolderNames_);
    }
    readCounts_[path] += 1;
    for (const QString& name : std::as_const(subfolderNames_)) {
        const QString key = path + name + QLatin1Char('/');
        // A folder that is also a volume of its own (a mount point) stands at
        // the top level only: keys are unique in the whole tree.
        if (nodes_.contains(key))
            continue;
        const QString closed = addIcon(IconService::folderIconName(key));
        const QString open = addIcon(IconService::openFolderIconName(key));
        addNode(parent, key, name, closed, open);
        CheckSubfolders(key);
    }
}

void FolderTree::CheckSubfolders(const QString& path)
{
    if (DirectoryReader::hasSubfolder(path))
        AddDummyChild(path);
}

void FolderTree::readIfPlaceholder(QTreeWidgetItem* node)
{
    if (node->childCount() == 0 || !isPlaceholder(node->child(0)))
        return;
    QTreeWidgetItem* dummy = node->takeChild(0);
    forgetKeys(dummy);
    delete dummy;
    AddChildFolders(keyOf(node));
    sortChildren(node);
}

void FolderTree::sortChildren(QTreeWidgetItem* node)
{
    QList<QTreeWidgetItem*> children = node->takeChildren();
    std::stable_sort(children.begin(), children.end(), textLess);
    node->addChildren(children);
}

void FolderTree::expandProgrammatically(QTreeWidgetItem* node)
{
    {
        Programmatic guard(programmatic_);
        node->setExpanded(true);
    }
    // Qt reports no expansion of a node that is already open; the handling
    // must run either way.
    tvTreeView_Expand(node);
}

void FolderTree::collapseProgrammatically(QTreeWidgetItem* node)
{
    Programmatic guard(programmatic_);
    node->setExpanded(false);
}

void FolderTree::selectNode(QTreeWidgetItem* node)
{
    if (!node)
        return;
    setCurrentItem(node);
    scrollToItem(node);
}

QTreeWidgetItem* FolderTree::volumeNodeOf(const QString& path) const
{
    QTreeWidgetItem* best = nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = topLevelItem(i);
        const QString key = keyOf(node);
        if (path.startsWith(key) && (!best || key.size() > keyOf(best).size()))
            best = node;
    }
    return best;
}

void FolderTree::updateTitles()
{
    const QString path = host_.Path();
    // The volume part: the mount path of the volume holding the current path.
    QString volume;
    if (const QTreeWidgetItem* node = volumeNodeOf(path)) {
        volume = keyOf(node);
        if (volume.size() > 1)
            volume.chop(1);
    }
    if (QLabel* label = host_.lblTitle(0))
        label->setText(volume);
    if (QLabel* label = host_.lblTitle(1))
        label->setText(path);
}

void FolderTree::relistAndSelectCurrent()
{
    FileListView* list = host_.fileList();
    if (list) {
        list->clear();
        list->ListFolder(host_.Path());
    }
    selectNode(nodeByKey(host_.Path()));
    updateTitles();
}

int FolderTree::probeFolder(const QString& key)
{
    // A dead network volume takes the probe's whole timeout to answer.
    WaitCursor wait;
    return probe_(key);
}

void FolderTree::tvTreeView_Expand(QTreeWidgetItem* node)
{
    if (!node || isPlaceholder(node))
        return;
    const int error = probeFolder(keyOf(node));
    if (error != 0) {
        // A volume without a medium and the like: closed again, no message.
        QTreeWidgetItem* selected = currentItem();
        collapseProgrammatically(node);
        selectNode(selected);
        return;
    }
    readIfPlaceholder(node);
    if (host_.Path().isEmpty())
        host_.storePath(keyOf(node));
    relistAndSelectCurrent();
}

void FolderTree::tvTreeView_Collapse(QTreeWidgetItem* node)
{
    if (!node)
        return;
    const QString key = keyOf(node);
    if (chooseNodeChecked(node)) {
        // The collapsed node is now the current folder and already listed.
        selectNode(node);
        updateTitles();
        return;
    }
    // A folder found gone has been dropped from the tree with its node.
    if (host_.Path().isEmpty() && nodeByKey(key))
        host_.storePath(key);
    relistAndSelectCurrent();
}

void FolderTree::chooseNode(QTreeWidgetItem* node)
{
    chooseNodeChecked(node);
}

bool FolderTree::chooseNodeChecked(QTreeWidgetItem* node)
{
    if (!node || isPlaceholder(node))
        return false;
    FileListView* list = host_.fileList();
    if (list)
        list->clear();
    const QString key = keyOf(node);
    const int error = probeFolder(key);
    if (error != 0) {
        showReadFailure(node, error);
        if (error == ENOENT || error == ENOTDIR)
            settleOnNearestExisting(key);
        return false;
    }
    host_.storePath(LongPath::resolve(key));
    updateTitles();
    if (list)
        list->ListFolder(key);
    host_.setListClicked(false);
    return true;
}

void FolderTree::settleOnNearestExisting(const QString& goneKey)
{
    // The folder went behind our back: the tree drops it, and the tree, the
    // titles and the list meet again on the nearest folder above it that
    // still exists (the rebuild opens and lists that one).
    QString folder = goneKey;
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'), folder.size() - 2);
        folder = slash < 0 ? QString() : folder.left(slash + 1);
    }
    if (!folder.isEmpty() && volumeNodeOf(folder))
        host_.storePath(LongPath::resolve(folder));
    tvTreeView_Refresh();
}

void FolderTree::showReadFailure(QTreeWidgetItem* node, int error)
{
    const ReadFailure failure = ReadFailure::fromErrno(error);
    if (!node->parent() && failure.notReady) {
        host_.prompter().message(QStringLiteral("ドライブが準備されていません"), Prompter::Buttons::Ok,
                                 Prompter::Icon::Stop, applicationTitle());
        return;
    }
    collapseProgrammatically(node);
    host_.prompter().message(failure.message(), Prompter::Buttons::Ok, Prompter::Icon::Stop,
                             applicationTitle());
    // Drops whatever mouse state the message interrupted.
    setEnabled(false);
    setEnabled(true);
}

void FolderTree::setPath(const QString& strNewPath)
{
    const QString s = LongPath::resolve(strNewPath);
    QTreeWidgetItem* volume = volumeNodeOf(s);
    if (s.isEmpty() || !volume)
        return;  // no volume holds it any more: nothing changes
    // Read every node on the way down, from the volume holding the path.
    const QString volumeKey = keyOf(volume);
    for (qsizetype a = volumeKey.size() - 1; a >= 0 && a < s.size();
         a = s.indexOf(QLatin1Char('/'), a + 1)) {
        QTreeWidgetItem* node = nodeByKey(s.left(a + 1));
        if (!node)
            return;  // a folder on the way was made after its parent was read
        readIfPlaceholder(node);
    }
    QTreeWidgetItem* target = nodeByKey(s);
    if (!target)
        return;
    // Stored before the expansion lists it, so the list shows the folder that
    // the current path names.
    host_.storePath(s);
    selectNode(target);
    expandProgrammatically(target);
}

void FolderTree::tvTreeView_Refresh()
{
    {
        // The old nodes go without notifications: none of them is chosen.
        const QSignalBlocker quiet(this);
        clear();
    }
    nodes_.clear();
    iconImageList_.clear();
    readCounts_.clear();
    AddDriveNodes();
    const QString path = host_.Path();
    if (path.isEmpty())
        return;
    setPath(path);
    updateTitles();
}

void FolderTree::openFolderFrom(const QString& previous, const QString& next)
{
    QTreeWidgetItem* parentNode = nodeByKey(previous);
    if (!parentNode) {
        setPath(next);
        return;
    }
    expandProgrammatically(parentNode);
    selectNode(nodeByKey(next));
}

void FolderTree::showSelectedImage(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (previous && nodes_.value(keyOf(previous)) == previous) {
        const QString image = previous->data(0, ImageKeyRole).toString();
        if (!image.isEmpty())
            previous->setIcon(0, iconImageList_.value(image));
    }
    if (current) {
        const QString selected = current->data(0, SelectedImageKeyRole).toString();
        if (!selected.isEmpty())
            current->setIcon(0, iconImageList_.value(selected));
    }
}

void FolderTree::onItemClicked(QTreeWidgetItem* item, int)
{
    chooseNode(item);
}

void FolderTree::onItemExpanded(QTreeWidgetItem* item)
{
    if (programmatic_ == 0)
        tvTreeView_Expand(item);
}

void FolderTree::onItemCollapsed(QTreeWidgetItem* item)
{
    if (programmatic_ == 0)
        tvTreeView_Collapse(item);
}

void FolderTree::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F5 &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        tvTreeView_Refresh();
        return;
    }
    // Moving through the tree with the keyboard chooses folders as a click does.
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after && after != before)
        chooseNode(after);
}
