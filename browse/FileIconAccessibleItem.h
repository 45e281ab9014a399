#pragma once

#include <QAccessible>
#include <QPointer>

class QListView;

// One entry of the icon view for a screen reader: its name, its place on the
// screen, and whether it is selected. It reads its row afresh on every call,
// so it stays right while the list is filled again.
class FileIconAccessibleItem : public QAccessibleInterface {
public:
    FileIconAccessibleItem(QListView* view, int row);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

    int row() const { return row_; }

private:
    QModelIndex index() const;

    QPointer<QListView> view_;
    int row_;
};
