#pragma once

#include "browse/FileItemEditHook.h"

#include <QTreeView>

// The file list's details view: rows with the column headers. Edits always
// happen on the name, whichever column was clicked.
class FileDetailsView : public QTreeView {
public:
    explicit FileDetailsView(QWidget* parent = nullptr) : QTreeView(parent) {}
    void setEditHook(FileItemEditHook hook) { editHook_ = std::move(hook); }
    void setOpenHook(FileItemOpenHook hook) { openHook_ = std::move(hook); }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FileItemEditHook editHook_;
    FileItemOpenHook openHook_;
};
