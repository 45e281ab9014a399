#include "browse/FileNameDelegate.h"

#include "browse/FileListModel.h"

#include <QLineEdit>

FileNameDelegate::FileNameDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
    connect(this, &QAbstractItemDelegate::closeEditor, this, &FileNameDelegate::onCloseEditor);
}

QWidget* FileNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    key_ = index.data(FileListModel::KeyRole).toString();
    oldText_ = index.data(Qt::EditRole).toString();
    reported_ = false;
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void FileNameDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                    const QModelIndex&) const
{
    if (reported_)
        return;
    reported_ = true;
    const auto* line = qobject_cast<QLineEdit*>(editor);
    const QString text = line ? line->text() : QString();
    emit const_cast<FileNameDelegate*>(this)->editFinished(key_, oldText_, text);
}

void FileNameDelegate::onCloseEditor(QWidget*, QAbstractItemDelegate::EndEditHint)
{
    // Closed without a commit (Escape): the edit was cancelled.
    if (reported_)
        return;
    reported_ = true;
    emit editFinished(key_, oldText_, QString());
}
