#pragma once

#include "browse/FileItemEditHook.h"

#include <QListView>

// The file list's view for large icons, small icons and list: a QListView
// that asks before an in-place edit begins and opens folders on Return.
class FileIconView : public QListView {
    Q_OBJECT
public:
    // Also gives screen readers one item per entry (FileIconAccessible).
    explicit FileIconView(QWidget* parent = nullptr);
    void setEditHook(FileItemEditHook hook) { editHook_ = std::move(hook); }
    void setOpenHook(FileItemOpenHook hook) { openHook_ = std::move(hook); }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FileItemEditHook editHook_;
    FileItemOpenHook openHook_;
};
