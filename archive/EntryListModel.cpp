#include "archive/EntryListModel.h"

#include "archive/EntryCells.h"
#include "archivers/common/EntryInfo.h"

#include <cstring>

const QString EntryListModel::CutMark = QStringLiteral("…");

namespace {

struct ColumnSpec {
    const char* header;
    int widthTwips;
    Qt::Alignment alignment;
};

const ColumnSpec kColumns[EntryListModel::ColumnCount] = {
    {"ファイル名", 3000, Qt::AlignLeft},
    {"サイズ", 1500, Qt::AlignRight},
    {"状態", 900, Qt::AlignLeft},
    {"格納法", 800, Qt::AlignLeft},
    {"圧縮率", 850, Qt::AlignRight},
    {"日付", 1800, Qt::AlignLeft},
};

} // namespace

EntryListModel::EntryListModel(QObject* parent) : QAbstractTableModel(parent) {}

QString EntryListModel::header(int column) { return QString::fromUtf8(kColumns[column].header); }
int EntryListModel::widthTwips(int column) { return kColumns[column].widthTwips; }
Qt::Alignment EntryListModel::alignment(int column) { return kColumns[column].alignment; }

void EntryListModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int EntryListModel::iconIndex(const QString& largeKey, const QString& smallKey, const QIcon& small)
{
    for (size_t i = icons_.size(); i-- > 0;)
        if (icons_[i].smallKey == smallKey && icons_[i].largeKey == largeKey)
            return static_cast<int>(i);
    icons_.push_back({largeKey, smallKey, small});
    return static_cast<int>(icons_.size() - 1);
}

EntryListModel::Row EntryListModel::rowFor(const EntryInfo& entry, int icon)
{
    Row row;
    row.name = EntryCells::field(entry.name, sizeof entry.name);
    row.size = EntryInfoSize(&entry);
    std::memcpy(row.attribute.data(), entry.attribute, row.attribute.size());
    std::memcpy(row.method.data(), entry.method, row.method.size());
    row.ratio = entry.ratio;
    row.dosDate = entry.dosDate;
    row.dosTime = entry.dosTime;
    row.nameCut = (entry.flags & ENTRY_FLAG_NAME_CUT) != 0;
    row.icon = icon;
    return row;
}

void EntryListModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

QString EntryListModel::displayName(int index) const
{
    const Row& r = row(index);
    return r.nameCut ? r.name + CutMark : r.name;
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString EntryListModel::text(const Row& r, int column) const
{
    switch (column) {
    case NameColumn: return r.nameCut ? r.name + CutMark : r.name;
    case SizeColumn: return EntryCells::sizeText(r.size);
    case StateColumn: return EntryCells::field(r.attribute.data(), int(r.attribute.size()));
    case MethodColumn: return EntryCells::field(r.method.data(), int(r.method.size()));
    case RatioColumn: return cab_ ? QStringLiteral("--%") : EntryCells::ratioText(r.ratio);
    case DateColumn: return EntryCells::dateText(r.dosDate, r.dosTime);
    }
    return {};
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    const Row& r = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return text(r, index.column());
    case Qt::ToolTipRole:
        if (index.column() == NameColumn && r.nameCut)
            return QStringLiteral("この名前は長すぎるため途中で切れています");
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(index.column()) | Qt::AlignVCenter);
    case Qt::DecorationRole:
        if (index.column() == NameColumn && r.icon >= 0 && size_t(r.icon) < icons_.size())
            return icons_[size_t(r.icon)].small;
        return {};
    case KeyRole: return r.name;
    case NameCutRole: return r.nameCut;
    case LargeIconKeyRole:
    case SmallIconKeyRole:
        if (r.icon >= 0 && size_t(r.icon) < icons_.size())
            return role == LargeIconKeyRole ? icons_[size_t(r.icon)].largeKey : icons_[size_t(r.icon)].smallKey;
        return {};
    }
    return {};
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return header(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(section) | Qt::AlignVCenter);
    return {};
}
