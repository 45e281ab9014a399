#pragma once

#include <QStyledItemDelegate>

// The in-place editor of a file name. It never writes the model: a commit
// reports the new text (the rename happens on disk, then the folder is
// listed again), and a cancelled edit reports an empty text.
class FileNameDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FileNameDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    // `key` is the item's full path.
    void editFinished(const QString& key, const QString& oldText, const QString& newText);

private:
    void onCloseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);

    // The item being edited and whether its edit has been reported already.
    mutable QString key_;
    mutable QString oldText_;
    mutable bool reported_ = true;
};
