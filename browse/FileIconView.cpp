#include "browse/FileIconView.h"

#include "browse/FileIconAccessible.h"

#include <QKeyEvent>

FileIconView::FileIconView(QWidget* parent) : QListView(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(&FileIconAccessible::factory);
        return true;
    }();
    Q_UNUSED(installed)
}

bool FileIconView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // Only the starts of an edit are asked about; the view also calls edit()
    // for every key while an editor is open, which must pass through.
    if (state() != EditingState && index.isValid() && trigger != NoEditTriggers && editHook_ &&
        (editTriggers() & trigger) && !editHook_(index))
        return false;
    return QListView::edit(index, trigger, event);
}

void FileIconView::keyPressEvent(QKeyEvent* event)
{
    if (state() != EditingState && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        openHook_) {
        openHook_();
        return;
    }
    QListView::keyPressEvent(event);
}
