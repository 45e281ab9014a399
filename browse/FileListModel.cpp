#include "browse/FileListModel.h"

#include "browse/FormatFileTime.h"
#include "browse/IconCacheKey.h"
#include "platform/Attributes.h"
#include "platform/DirectoryReader.h"
#include "platform/IconService.h"

#include <QFile>

#include <algorithm>
#include <climits>

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

// Every .exe (and .ico) has a cache entry of its own, but on this system they
// all show their type's icon: ask the theme once per extension, not per file.
QString FileListModel::fileIconName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return IconService::fileIconName(name);
    const QString extension = name.mid(dot).toUpper();
    const auto it = iconNameByExtension_.constFind(extension);
    if (it != iconNameByExtension_.constEnd())
        return *it;
    const QString iconName = IconService::fileIconName(name);
    iconNameByExtension_.insert(extension, iconName);
    return iconName;
}

bool FileListModel::hasCachedIcon(const QString& iconCacheKey, bool folder) const
{
    return iconByKey_.contains(iconHashKey(iconCacheKey, folder));
}

int FileListModel::iconFor(const QString& folder, const QString& name, std::uint32_t attributes,
                           bool isFolder)
{
    const QString cacheKey = IconCacheKey(name, attributes);
    const QString hashKey = iconHashKey(cacheKey, isFolder);
    const auto it = iconByKey_.constFind(hashKey);
    if (it != iconByKey_.constEnd())
        return *it;
    // All plain folders share one picture, so it must be the plain folder
    // icon: the first folder listed may be one with an icon of its own
    // (Documents, Desktop), which must not pass to the others.
    QString iconName;
    if (!isFolder)
        iconName = fileIconName(name);
    else if (cacheKey == QLatin1String("Folder"))
        iconName = QStringLiteral("folder");
    else
        iconName = IconService::folderIconName(folder + name);
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
        e.iconIndex = iconFor(folder, e.name, e.attributes, e.isFolder);
        read.push_back(std::move(e));
    });
    // Entries read before a read error are still shown: they exist.
    if (read.empty())
        return error == 0;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(read.size()) - 1);
    if (entries_.empty())
        entries_ = std::move(read);
    else
        std::move(read.begin(), read.end(), std::back_inserter(entries_));
    endInsertRows();
    return error == 0;
}

void FileListModel::clear()
{
    beginResetModel();
    entries_.clear();
    nextDiskOrder_ = 0;
    endResetModel();
}

namespace {

// One entry as the sort sees it: packed together so that a sort of 100,000
// entries runs through contiguous memory instead of chasing every entry.
struct SortItem {
    std::uint64_t head0 = 0;  // the first eight UTF-16 units of the case-folded
    std::uint64_t head1 = 0;  // name, packed so integers order as the text does
    std::int64_t value = 0;   // the requested column as a number (not for names)
    std::uint32_t index = 0;
    std::uint32_t diskOrder = 0;
    bool isFolder = false;
};

void packHead(const QString& folded, SortItem& item)
{
    std::uint64_t words[2] = {0, 0};
    const qsizetype n = std::min<qsizetype>(folded.size(), 8);
    for (qsizetype i = 0; i < n; ++i)
        words[i / 4] |= std::uint64_t(folded[i].unicode()) << (16 * (3 - i % 4));
    item.head0 = words[0];
    item.head1 = words[1];
}

// The attribute letters as a number that orders as their text: one letter a byte.
std::int64_t lettersValue(const QString& letters)
{
    std::int64_t value = 0;
    for (qsizetype i = 0; i < 7; ++i)
        value = (value << 8) | (i < letters.size() ? letters[i].unicode() & 0xFF : 0);
    return value;
}

}  // namespace

void FileListModel::sortBy(int column, bool ascending)
{
    // Case folding inside every comparison would cost more than the rest of
    // the sort: fold each name once.
    std::vector<QString> folded;
    folded.reserve(entries_.size());
    std::vector<SortItem> items(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        folded.push_back(e.name.toCaseFolded());
        SortItem& item = items[i];
        packHead(folded.back(), item);
        item.index = static_cast<std::uint32_t>(i);
        item.diskOrder = e.diskOrder;
        item.isFolder = e.isFolder;
        switch (column) {
        case TypeColumn: item.value = e.isFolder ? 1 : 0; break;
        // By number: the same as comparing the padded texts for up to ten
        // digits, and still right for the longer sizes the padding misses.
        case SizeColumn: item.value = e.isFolder ? 0 : e.size; break;
        // An empty time text orders first.
        case TimeColumn: item.value = e.timeValid ? e.mtime : INT64_MIN; break;
        case AttributesColumn: item.value = lettersValue(attributeText(e)); break;
        default: break;
        }
    }
    const auto compareNames = [&](const SortItem& x, const SortItem& y) {
        if (x.head0 != y.head0)
            return x.head0 < y.head0 ? -1 : 1;
        if (x.head1 != y.head1)
            return x.head1 < y.head1 ? -1 : 1;
        const int byFolded = folded[x.index].compare(folded[y.index], Qt::CaseSensitive);
        if (byFolded != 0)
            return byFolded;
        // "A" and "a" in a fixed order.
        return entries_[x.index].name.compare(entries_[y.index].name, Qt::CaseSensitive);
    };
    std::sort(items.begin(), items.end(), [&](const SortItem& x, const SortItem& y) {
        if (x.isFolder != y.isFolder)
            return x.isFolder;  // folders ahead of files, in either direction
        const int byColumn = column == NameColumn ? compareNames(x, y) : compareValues(x.value, y.value);
        if (byColumn != 0)
            return ascending ? byColumn < 0 : byColumn > 0;
        if (column != NameColumn) {
            const int byName = compareNames(x, y);
            if (byName != 0)
                return byName < 0;
        }
        return x.diskOrder < y.diskOrder;
    });
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].index;
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
