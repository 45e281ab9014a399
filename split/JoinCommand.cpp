#include "split/JoinCommand.h"

#include "browse/CommandHost.h"
#include "browse/FileListView.h"
#include "platform/Prompter.h"
#include "platform/ApplicationTitle.h"
#include "split/PartSet.h"
#include "split/frmJoinDialog.h"

JoinCommand::JoinCommand(CommandHost& host)
    : showDialog([](frmJoinDialog& dialog) { dialog.exec(); }), host_(host)
{
}

void JoinCommand::run()
{
    if (!host_.listClicked())
        return;
    const QList<FileListItem> selected = host_.fileList()->selectedItems();
    // Nothing selected: nothing to join, and the paths of the last command stay.
    if (selected.isEmpty())
        return;

    QStringList& paths = host_.pathList();
    paths.clear();
    for (const FileListItem& item : selected) {
        if (item.type == FileListView::FolderType) {
            host_.prompter().message(QStringLiteral("フォルダを選択する事はできません"),
                                     Prompter::Buttons::Ok, Prompter::Icon::None, ApplicationTitle());
            return;
        }
        paths << item.key;
    }

    frmJoinDialog dialog(host_, host_.ownerWindow());
    const std::optional<PartSet> set = PartSet::fromSelection(paths);
    dialog.setPartSet(set.has_value());
    if (set) {
        dialog.addEntries(set->entries());
        dialog.disableMoveButtons();
    } else {
        dialog.addEntries(paths);
    }
    dialog.centreOn(host_.ownerWindow());
    showDialog(dialog);
    host_.refreshAll();
}
