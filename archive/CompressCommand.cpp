#include "archive/CompressCommand.h"

#include "archive/frmCompressDialog.h"
#include "browse/CommandHost.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "platform/CentreOnOwner.h"

CompressCommand::CompressCommand(CommandHost& host, Archiver& archiver)
    : showDialog([](frmCompressDialog& dialog) { dialog.exec(); }), host_(host), archiver_(archiver)
{
}

QStringList CompressCommand::targets() const
{
    QStringList targets;
    if (!host_.listClicked()) {
        const QString folder = host_.folderTree()->selectedKey();
        if (!folder.isEmpty())
            targets << folder;
        return targets;
    }
    for (const FileListItem& item : host_.fileList()->selectedItems())
        targets << (item.type == FileListView::FolderType ? item.key + u'/' : item.key);
    return targets;
}

void CompressCommand::run()
{
    const QStringList collected = targets();
    if (collected.isEmpty())
        return;
    {
        frmCompressDialog dialog(host_, archiver_, collected);
        CentreOnOwner(dialog, host_.ownerWindow());
        showDialog(dialog);
    }
    host_.refreshAll();
}
