#pragma once

#include <QStyledItemDelegate>

// Draws and edits the file names. The in-place editor never writes the model:
// a commit reports the new text (the rename happens on disk, then the folder
// is listed again), and a cancelled edit reports an empty text.
//
// In the icon views every item takes the whole cell of the view's grid: the
// views lay out uniform items from the first one, whose name may be "a".
// Under large icons a name too long for its cell breaks into lines anywhere,
// not only at blanks, so "Documents" is not cut down to "Docu…".
class FileNameDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit FileNameDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // `text` with a line separator wherever a line of `width` pixels must end,
    // breaking between words where it can and inside a word where it must;
    // beyond `maxLines` (0: no limit) the last line ends in an ellipsis.
    // Unchanged when it fits on one line or `width` leaves no room.
    static QString breakLines(const QString& text, const QFont& font, int width, int maxLines = 0);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

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
