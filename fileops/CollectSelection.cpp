#include "fileops/CollectSelection.h"

#include "browse/CommandHost.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"

QStringList CollectSelection(CommandHost& host)
{
    QStringList paths;
    if (host.listClicked()) {
        for (const FileListItem& item : host.fileList()->selectedItems())
            paths << item.key;
    } else {
        const QString key = host.folderTree()->selectedKey();
        if (!key.isEmpty())
            paths << key;
    }
    return paths;
}

QString WithoutTrailingSlash(const QString& path)
{
    if (path.size() > 1 && path.endsWith(u'/'))
        return path.chopped(1);
    return path;
}
