#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>

class QListView;

// What a screen reader sees of the icon and list views: a list with one item
// per entry. Qt's own interface for a list view offers every column of the
// model as a cell, so the hidden type, padded size and date would be read as
// four more items after each name.
class FileIconAccessible : public QAccessibleWidget {
public:
    explicit FileIconAccessible(QListView* view);
    ~FileIconAccessible() override;

    // For QAccessible::installFactory: this interface for the file list's icon view.
    static QAccessibleInterface* factory(const QString& className, QObject* object);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    QListView* view() const;

    mutable QHash<int, QAccessible::Id> items_;  // by row; each reads its row afresh
};
