#include "browse/FileDetailsView.h"

#include <QKeyEvent>

bool FileDetailsView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (state() == EditingState || !index.isValid() || trigger == NoEditTriggers ||
        !(editTriggers() & trigger))
        return QTreeView::edit(index, trigger, event);
    const QModelIndex name = index.siblingAtColumn(0);
    if (editHook_ && !editHook_(name))
        return false;
    return QTreeView::edit(name, trigger, event);
}

void FileDetailsView::keyPressEvent(QKeyEvent* event)
{
    if (state() != EditingState && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        openHook_) {
        openHook_();
        return;
    }
    QTreeView::keyPressEvent(event);
}
