#include "browse/FileIconAccessibleItem.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QWidget>
#include <QWindow>

FileIconAccessibleItem::FileIconAccessibleItem(QListView* view, int row) : view_(view), row_(row) {}

QModelIndex FileIconAccessibleItem::index() const
{
    if (!view_ || !view_->model())
        return {};
    return view_->model()->index(row_, view_->modelColumn(), view_->rootIndex());
}

bool FileIconAccessibleItem::isValid() const
{
    return index().isValid();
}

QWindow* FileIconAccessibleItem::window() const
{
    return view_ ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* FileIconAccessibleItem::parent() const
{
    return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
}

QString FileIconAccessibleItem::text(QAccessible::Text t) const
{
    const QModelIndex i = index();
    if (!i.isValid())
        return {};
    if (t == QAccessible::Name)
        return i.data(Qt::DisplayRole).toString();
    if (t == QAccessible::Description)
        return i.data(Qt::ToolTipRole).toString();
    return {};
}

QRect FileIconAccessibleItem::rect() const
{
    const QModelIndex i = index();
    if (!i.isValid())
        return {};
    const QRect r = view_->visualRect(i);
    return QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State FileIconAccessibleItem::state() const
{
    QAccessible::State s;
    const QModelIndex i = index();
    if (!i.isValid()) {
        s.invalid = true;
        return s;
    }
    s.selectable = true;
    s.focusable = true;
    s.selected = view_->selectionModel() && view_->selectionModel()->isSelected(i);
    s.focused = view_->hasFocus() && view_->currentIndex() == i;
    s.invisible = !view_->viewport()->rect().intersects(view_->visualRect(i));
    return s;
}
