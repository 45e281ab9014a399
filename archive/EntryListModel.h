#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <array>
#include <vector>

struct EntryInfo;

// The viewer's report list: one row per listed entry, in the library's order,
// with the six columns of the viewer. Rows keep the record's fields and make
// their texts when a view asks, so a listing of 100,000 entries costs one
// pass over the records and one reset.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SizeColumn, StateColumn, MethodColumn, RatioColumn, DateColumn, ColumnCount };
    // The entry name exactly as the library gave it (the item's key).
    static constexpr int KeyRole = Qt::UserRole;
    // The large and small image keys of the row's icon.
    static constexpr int LargeIconKeyRole = Qt::UserRole + 1;
    static constexpr int SmallIconKeyRole = Qt::UserRole + 2;
    // True when the library had to cut the name to fit its record.
    static constexpr int NameCutRole = Qt::UserRole + 3;

    // Shown after a name the library had to cut.
    static const QString CutMark;

    struct Row {
        QString name;
        qint64 size = 0;
        std::array<char, 8> attribute{};
        std::array<char, 8> method{};
        qint16 ratio = 0;
        quint16 dosDate = 0;
        quint16 dosTime = 0;
        bool nameCut = false;
        int icon = 0;  // index into the model's icon table
    };

    explicit EntryListModel(QObject* parent = nullptr);

    // The headers and widths in twips of the six columns.
    static QString header(int column);
    static int widthTwips(int column);
    static Qt::Alignment alignment(int column);

    // Starts a new listing: the rows go (the icons stay for the model's
    // life, as the viewer's image lists do). The ratio column shows "--%"
    // for every row when `cab`.
    void clear();
    void setCab(bool cab) { cab_ = cab; }
    // Returns the index of an icon in the table, adding it when new.
    int iconIndex(const QString& largeKey, const QString& smallKey, const QIcon& small);
    // Row made from a record; `icon` from iconIndex().
    static Row rowFor(const EntryInfo& entry, int icon);
    // Shows the given rows, replacing any there were.
    void setRows(std::vector<Row> rows);

    const Row& row(int index) const { return rows_[static_cast<size_t>(index)]; }
    QString displayName(int index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString text(const Row& row, int column) const;

    struct Icon {
        QString largeKey;
        QString smallKey;
        QIcon small;
    };

    std::vector<Row> rows_;
    std::vector<Icon> icons_;
    bool cab_ = false;
};
