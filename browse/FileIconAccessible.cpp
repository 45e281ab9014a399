#include "browse/FileIconAccessible.h"

#include "browse/FileIconAccessibleItem.h"
#include "browse/FileIconView.h"

FileIconAccessible::FileIconAccessible(QListView* view) : QAccessibleWidget(view, QAccessible::List) {}

FileIconAccessible::~FileIconAccessible()
{
    for (const QAccessible::Id id : std::as_const(items_))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* FileIconAccessible::factory(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<FileIconView*>(object))
        return new FileIconAccessible(view);
    return nullptr;
}

QListView* FileIconAccessible::view() const
{
    return static_cast<QListView*>(widget());
}

int FileIconAccessible::childCount() const
{
    const QAbstractItemModel* model = view()->model();
    return model ? model->rowCount(view()->rootIndex()) : 0;
}

QAccessibleInterface* FileIconAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = items_.constFind(index); found != items_.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* item = new FileIconAccessibleItem(view(), index);
    items_.insert(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int FileIconAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* item = dynamic_cast<const FileIconAccessibleItem*>(child);
    return item && item->parent() == this && item->isValid() ? item->row() : -1;
}

QAccessibleInterface* FileIconAccessible::childAt(int x, int y) const
{
    const QPoint inViewport = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(inViewport);
    return index.isValid() ? child(index.row()) : nullptr;
}
