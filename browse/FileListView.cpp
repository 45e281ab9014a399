#include "browse/FileListView.h"

#include "browse/BrowseHost.h"
#include "browse/FileDetailsView.h"
#include "browse/FileIconView.h"
#include "browse/FileListModel.h"
#include "browse/FileNameDelegate.h"
#include "browse/FolderTree.h"

#include "browse/WaitCursor.h"

#include <QHeaderView>
#include <QStackedLayout>

const QString FileListView::FolderType = QStringLiteral("ﾌｫﾙﾀﾞ");
const QString FileListView::FileType = QStringLiteral("ﾌｧｲﾙ");

namespace {

// Column widths in twips, as the window has always laid them out.
constexpr int ColumnTwips[FileListModel::ColumnCount] = {3000, 0, 1200, 2100, 600};

int twipsToPixels(const QWidget* widget, int twips)
{
    const int dpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96;
    return twips * dpi / 1440;
}

}  // namespace

FileListView::FileListView(BrowseHost& host, QWidget* parent)
    : QWidget(parent), host_(host), model_(new FileListModel(this))
{
    setObjectName(QStringLiteral("lvListView"));
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    setUpListView();
    setUpDetailsView();
    stack_->addWidget(listView_);
    stack_->addWidget(detailsView_);
    setView(0);
}

FileListView::~FileListView() = default;

void FileListView::setUpListView()
{
    auto* view = new FileIconView(this);
    view->setObjectName(QStringLiteral("lvListView_icons"));
    view->setModel(model_);
    view->setModelColumn(FileListModel::NameColumn);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setMovement(QListView::Static);
    view->setResizeMode(QListView::Adjust);
    // Every item takes the same room, so a folder of 100,000 entries lays out
    // without measuring each name.
    view->setUniformItemSizes(true);
    view->setEditHook([this](const QModelIndex& index) { return allowEdit(index); });
    view->setOpenHook([this] { lvListView_DblClick(); });
    listView_ = view;
}

void FileListView::setUpDetailsView()
{
    auto* view = new FileDetailsView(this);
    view->setObjectName(QStringLiteral("lvListView_details"));
    view->setModel(model_);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setEditHook([this](const QModelIndex& index) { return allowEdit(index); });
    view->setOpenHook([this] { lvListView_DblClick(); });
    QHeaderView* header = view->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(true);
    for (int c = 0; c < FileListModel::ColumnCount; ++c)
        header->resizeSection(c, twipsToPixels(this, ColumnTwips[c]));
    // The type column only carries the folder mark for the sort; never shown.
    header->hideSection(FileListModel::TypeColumn);
    connect(header, &QHeaderView::sectionClicked, this, &FileListView::lvListView_ColumnClick);
    detailsView_ = view;

    // One selection for both views, so a mode switch keeps it.
    listView_->setSelectionModel(detailsView_->selectionModel());

    // One editor delegate per view: a delegate's signals reach every view
    // that uses it, and a view must only hear about its own editors.
    auto* listDelegate = new FileNameDelegate(listView_);
    auto* detailsDelegate = new FileNameDelegate(detailsView_);
    listView_->setItemDelegate(listDelegate);
    detailsView_->setItemDelegateForColumn(FileListModel::NameColumn, detailsDelegate);
    // Queued: whoever renames lists the folder again, which must not happen
    // while the view is still closing the editor of a row it is about to drop.
    for (FileNameDelegate* delegate : {listDelegate, detailsDelegate})
        connect(delegate, &FileNameDelegate::editFinished, this, &FileListView::afterLabelEdit,
                Qt::QueuedConnection);

    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(listView_),
                                 static_cast<QAbstractItemView*>(detailsView_)}) {
        connect(v, &QAbstractItemView::pressed, this, [this] { onItemClicked(); });
        connect(v, &QAbstractItemView::doubleClicked, this, [this] { lvListView_DblClick(); });
    }
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        // Moving through the list with the keyboard is choosing in the list too.
        if (currentView()->hasFocus())
            host_.setListClicked(true);
    });
}

bool FileListView::allowEdit(const QModelIndex& index)
{
    bool cancel = false;
    emit beforeLabelEdit(index.data(FileListModel::KeyRole).toString(),
                         index.data(Qt::DisplayRole).toString(), &cancel);
    return !cancel;
}

QAbstractItemView* FileListView::currentView() const
{
    return view_ == 3 ? static_cast<QAbstractItemView*>(detailsView_)
                      : static_cast<QAbstractItemView*>(listView_);
}

QItemSelectionModel* FileListView::selectionModel() const
{
    return detailsView_->selectionModel();
}

void FileListView::setView(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    view_ = mode;
    const bool hadFocus = currentView()->hasFocus() || listView_->hasFocus() || detailsView_->hasFocus();
    if (mode == 3) {
        stack_->setCurrentWidget(detailsView_);
    } else {
        const int small = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        const int large = style()->pixelMetric(QStyle::PM_IconViewIconSize, nullptr, this);
        const int line = fontMetrics().height();
        listView_->setWrapping(true);
        listView_->setWordWrap(mode == 0);
        switch (mode) {
        case 0:  // large icons: a grid, the name under its icon
            listView_->setViewMode(QListView::IconMode);
            listView_->setFlow(QListView::LeftToRight);
            listView_->setIconSize(QSize(large, large));
            listView_->setGridSize(QSize(std::max(large * 2 + 16, 84), large + line * 2 + 12));
            break;
        case 1:  // small icons: rows, the name beside its icon
            listView_->setViewMode(QListView::ListMode);
            listView_->setFlow(QListView::LeftToRight);
            listView_->setIconSize(QSize(small, small));
            listView_->setGridSize(QSize(std::max(fontMetrics().averageCharWidth() * 22, 160),
                                         std::max(small, line) + 6));
            break;
        case 2:  // list: columns running top to bottom
            listView_->setViewMode(QListView::ListMode);
            listView_->setFlow(QListView::TopToBottom);
            listView_->setIconSize(QSize(small, small));
            listView_->setGridSize(QSize(std::max(fontMetrics().averageCharWidth() * 30, 200),
                                         std::max(small, line) + 4));
            break;
        }
        // IconMode switches these; the list stays in place and never drags.
        listView_->setMovement(QListView::Static);
        listView_->setResizeMode(QListView::Adjust);
        listView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
        stack_->setCurrentWidget(listView_);
    }
    setFocusProxy(currentView());
    if (hadFocus)
        currentView()->setFocus();
    if (selectionModel()->currentIndex().isValid())
        currentView()->scrollTo(selectionModel()->currentIndex());
}

void FileListView::ListFolder(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString folder = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    {
        WaitCursor wait;
        // A folder that cannot be read leaves the list as it is, without a message.
        model_->appendFolder(folder);
    }
    sortItems(FileListModel::NameColumn, true);
    sortColumn_ = FileListModel::NameColumn;
    sortAscending_ = true;
}

void FileListView::clear()
{
    model_->clear();
}

int FileListView::count() const
{
    return model_->rowCount();
}

FileListItem FileListView::item(int row) const
{
    const FileListModel::Entry& e = model_->entry(row);
    return {e.name, model_->keyOf(row), FileListModel::typeText(e)};
}

int FileListView::rowOfKey(const QString& key) const
{
    return model_->rowOfKey(key);
}

// The selected rows from the selection's ranges: the icon views select the
// name only and the details view whole rows, and both count as the row.
QList<int> FileListView::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QList<FileListItem> FileListView::selectedItems() const
{
    const QList<int> rows = selectedRows();
    QList<FileListItem> items;
    items.reserve(rows.size());
    for (int row : rows)
        items.append(item(row));
    return items;
}

void FileListView::mnuEditSelectAll_Click()
{
    if (host_.listClicked())
        currentView()->selectAll();
}

bool FileListView::selectOnly(const QString& key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return false;
    const QModelIndex index = model_->index(row, FileListModel::NameColumn);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    currentView()->scrollTo(index);
    return true;
}

bool FileListView::startLabelEdit(const QString& key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return false;
    const QModelIndex index = model_->index(row, FileListModel::NameColumn);
    currentView()->scrollTo(index);
    currentView()->edit(index);
    return currentView()->indexWidget(index) != nullptr;
}

void FileListView::sortItems(int column, bool ascending)
{
    model_->sortBy(column, ascending);
    detailsView_->header()->setSortIndicator(column, ascending ? Qt::AscendingOrder
                                                               : Qt::DescendingOrder);
}

void FileListView::lvListView_ColumnClick(int column)
{
    if (column < 0 || column >= FileListModel::ColumnCount)
        return;
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortItems(column, sortAscending_);
    sortColumn_ = column;
}

void FileListView::onItemClicked()
{
    host_.setListClicked(true);
}

void FileListView::lvListView_DblClick()
{
    // The current item when it is selected, else the first selected one.
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const int current = selectionModel()->currentIndex().row();
    const int row = rows.contains(current) ? current : rows.first();
    const FileListModel::Entry& e = model_->entry(row);
    if (!e.isFolder)
        return;  // files are not opened here
    FolderTree* tree = host_.folderTree();
    const QString previous = host_.Path();
    const QString next = model_->keyOf(row) + QLatin1Char('/');
    host_.storePath(next);
    if (tree)
        tree->openFolderFrom(previous, next);
}
