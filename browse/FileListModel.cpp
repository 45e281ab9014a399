#include "browse/FileListModel.h"

#include "browse/FormatFileTime.h"
#include "browse/IconCacheKey.h"
#include "platform/Attributes.h"
#include "platform/DirectoryReader.h"
#include "platform/IconService.h"

#include <QFile>

#include <algorithm>
#include <numeric>

namespace {

const QString& folderTypeText()
{
    static const QString text = QStringLiteral("ﾌｫﾙﾀﾞ");
    return text;
}

const QString& fileTypeText()
{
    static const QString text = QStringLiteral("ﾌｧｲﾙ");
    return text;
}

// Names order as people read them (letter case aside); the exact comparison
// then settles "A" against "a" so that the order never depends on chance.
int compareNames(const QString& a, const QString& b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

template <typename T>
int compareValues(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString FileListModel::typeText(const Entry& e)
{
    return e.isFolder ? folderTypeText() : fileTypeText();
}

QString FileListModel::sizeText(const Entry& e)
{
    // Padded to ten places so that the sizes line up on the right; a longer
    // number stands unpadded.
    return QStringLiteral("%1").arg(e.isFolder ? 0 : e.size, 10);
}

QString FileListModel::timeText(const Entry& e)
{
    return e.timeValid ? FormatFileTime(e.mtime) : QString();
}

QString FileListModel::attributeText(const Entry& e)
{
    return Attributes::letters(e.attributes);
}

QString FileListModel::keyOf(int row) const
{
    const Entry& e = entry(row);
    return e.folder + e.name;
}

QString FileListModel::iconCacheKeyOf(int row) const
{
    const Entry& e = entry(row);
    return IconCacheKey(e.name, e.attributes);
}

int FileListModel::rowOfKey(const QString& key) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (key.size() == e.folder.size() + e.name.size() && key.startsWith(e.folder) &&
            key.endsWith(e.name))
            return static_cast<int>(i);
    }
    return -1;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry& e = entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case NameColumn: return e.name;
        case TypeColumn: return typeText(e);
        case SizeColumn: return sizeText(e);
        case TimeColumn: return timeText(e);
        case AttributesColumn: return attributeText(e);
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == NameColumn && e.iconIndex >= 0)
            return icons_[static_cast<std::size_t>(e.iconIndex)];
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn || index.column() == AttributesColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case KeyRole:
        return e.folder + e.name;
    case IconKeyRole:
        return IconCacheKey(e.name, e.attributes);
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
        case NameColumn: return QStringLiteral("ファイル名");
        case TypeColumn: return QStringLiteral("種別");
        case SizeColumn: return QStringLiteral("サイズ");
        case TimeColumn: return QStringLiteral("更新日時");
        case AttributesColumn: return QStringLiteral("属性");
        }
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((section == SizeColumn || section == AttributesColumn
                                        ? Qt::AlignRight
                                        : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == NameColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool FileListModel::setData(const QModelIndex&, const QVariant&, int)
{
    // Names change only by renaming on disk and listing again.
    return false;
}

// Folders keyed by name and files whose upper-cased name is the same text
// must not share a picture, so folders look up in a space of their own.
static QString iconHashKey(const QString& cacheKey, bool folder)
{
    return folder ? QLatin1Char('\x01') + cacheKey : cacheKey;
}

bool FileListModel::hasCachedIcon(const QString& iconCacheKey, bool folder) const
{
    return iconByKey_.contains(iconHashKey(iconCacheKey, folder));
}

int FileListModel::iconFor(const QString& fullPath, const QString& name, std::uint32_t attributes,
                           bool isFolder)
{
    const QString cacheKey = IconCacheKey(name, attributes);
    const QString hashKey = iconHashKey(cacheKey, isFolder);
    const auto it = iconByKey_.constFind(hashKey);
    if (it != iconByKey_.constEnd())
        return *it;
    const QString iconName =
        isFolder ? IconService::folderIconName(fullPath) : IconService::fileIconName(name);
    const QIcon icon = IconService::icon(iconName);
    if (icon.isNull()) {
        iconByKey_.insert(hashKey, -1);
        return -1;
    }
    const int index = static_cast<int>(icons_.size());
    icons_.push_back(icon);
    iconKeys_.push_back(cacheKey);
    iconByKey_.insert(hashKey, index);
    return index;
}

bool FileListModel::appendFolder(const QString& givenFolder)
{
    QString folder = givenFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    std::vector<Entry> read;
    read.reserve(256);
    const int error = DirectoryReader::forEach(folder, [&](const DirectoryReader::Entry& d) {
        Entry e;
        e.name = QFile::decodeName(d.name);
        e.folder = folder;
        e.size = d.size;
        e.mtime = d.mtime;
        e.timeValid = d.timeValid;
        e.attributes = d.attributes;
        e.isFolder = d.isFolder;
        e.diskOrder = nextDiskOrder_++;
        e.iconIndex = iconFor(folder + e.name, e.name, e.attributes, e.isFolder);
        read.push_back(std::move(e));
    });
    if (error != 0 || read.empty())
        return error == 0;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(read.size()) - 1);
    if (entries_.empty())
        entries_ = std::move(read);
    else
        std::move(read.begin(), read.end(), std::back_inserter(entries_));
    endInsertRows();
    return true;
}

void FileListModel::clear()
{
    beginResetModel();
    entries_.clear();
    nextDiskOrder_ = 0;
    endResetModel();
}

void FileListModel::sortBy(int column, bool ascending)
{
    // Attribute letters compare as text; make them once, not per comparison.
    std::vector<QString> letters;
    if (column == AttributesColumn) {
        letters.reserve(entries_.size());
        for (const Entry& e : entries_)
            letters.push_back(attributeText(e));
    }
    const auto columnCompare = [&](std::size_t a, std::size_t b) -> int {
        const Entry& x = entries_[a];
        const Entry& y = entries_[b];
        switch (column) {
        case NameColumn: return compareNames(x.name, y.name);
        case TypeColumn: return compareValues(x.isFolder, y.isFolder);
        case SizeColumn:
            // By number: the same as comparing the padded texts for up to ten
            // digits, and still right for the longer sizes the padding misses.
            return compareValues(x.isFolder ? 0 : x.size, y.isFolder ? 0 : y.size);
        case TimeColumn:
            if (x.timeValid != y.timeValid)
                return x.timeValid ? 1 : -1;  // the empty text first
            return compareValues(x.mtime, y.mtime);
        case AttributesColumn: return letters[a].compare(letters[b]);
        }
        return 0;
    };
    std::vector<std::size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), std::size_t {0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Entry& x = entries_[a];
        const Entry& y = entries_[b];
        if (x.isFolder != y.isFolder)
            return x.isFolder;  // folders ahead of files, in either direction
        const int byColumn = columnCompare(a, b);
        if (byColumn != 0)
            return ascending ? byColumn < 0 : byColumn > 0;
        if (column != NameColumn) {
            const int byName = compareNames(x.name, y.name);
            if (byName != 0)
                return byName < 0;
        }
        return x.diskOrder < y.diskOrder;
    });
    applyOrder(order);
}

void FileListModel::applyOrder(const std::vector<std::size_t>& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Where each old row went, to carry the selection and the current item along.
    std::vector<int> newRowOf(order.size());
    std::vector<Entry> sorted;
    sorted.reserve(entries_.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow) {
        newRowOf[order[newRow]] = static_cast<int>(newRow);
        sorted.push_back(std::move(entries_[order[newRow]]));
    }
    entries_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
