#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class IconService;

// The entries of the file list, held as a plain vector (a folder of 100,000
// files must list in well under a second, which rules out one heavyweight
// item object per entry). Texts are made when a view asks for them; icons are
// resolved once per icon cache key and shared by every entry of that kind.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, TypeColumn, SizeColumn, TimeColumn, AttributesColumn, ColumnCount };
    // The entry's full path (current path + name) in every column.
    static constexpr int KeyRole = Qt::UserRole + 1;
    // The icon cache key ("Folder", ".TXT", "README", "setup.exe" ...).
    static constexpr int IconKeyRole = Qt::UserRole + 2;

    struct Entry {
        QString name;
        QString folder;           // the listed folder, ending in "/" (shared text)
        std::int64_t size = 0;
        std::int64_t mtime = 0;   // seconds since 1970, universal time
        bool timeValid = false;
        std::uint32_t attributes = 0;  // Attributes:: bits
        bool isFolder = false;
        std::uint32_t diskOrder = 0;   // position in the order read from disk
        int iconIndex = -1;            // into the icon table, -1 when there is no icon
    };

    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Reads the folder and appends its entries (unsorted). False when the
    // folder could not be read (nothing is added) or its reading broke off
    // (the entries read until then are added).
    bool appendFolder(const QString& folder);
    void clear();
    // The two-pass sort: by the column, then folders ahead of files; ties
    // keep the order read from disk, so the order is total.
    void sortBy(int column, bool ascending);

    const Entry& entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }
    QString keyOf(int row) const;
    QString iconCacheKeyOf(int row) const;
    int rowOfKey(const QString& key) const;

    // The texts of the columns, as the views show them.
    static QString typeText(const Entry& e);
    static QString sizeText(const Entry& e);
    static QString timeText(const Entry& e);
    static QString attributeText(const Entry& e);

    // The icon cache: "S"/"L" + icon cache key, as the commands name them.
    // Both sizes come from one scalable icon; the views pick the size.
    bool hasCachedIcon(const QString& iconCacheKey, bool folder) const;
    int cachedIconCount() const { return static_cast<int>(icons_.size()); }

private:
    void applyOrder(const std::vector<std::size_t>& order);
    QString fileIconName(const QString& name);
    int iconFor(const QString& folder, const QString& name, std::uint32_t attributes, bool isFolder);

    std::vector<Entry> entries_;
    std::vector<QIcon> icons_;
    std::vector<QString> iconKeys_;
    QHash<QString, int> iconByKey_;   // icon cache key -> index in icons_
    QHash<QString, QString> iconNameByExtension_;
    std::uint32_t nextDiskOrder_ = 0;
};
