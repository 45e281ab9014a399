#include "archive/CompressPlan.h"

#include "archive/NamesArgument.h"

namespace {

const QString kEverything = QStringLiteral("*.*");

// The parent of a folder path ending with "/", still ending with "/".
QString parentFolder(const QString& folder)
{
    const int slash = folder.lastIndexOf(u'/', folder.size() - 2);
    return slash < 0 ? folder : folder.left(slash + 1);
}

} // namespace

// With the list clicked the targets are items of the current folder; with a
// tree folder chosen the target is the current folder itself, so it is stored
// under its own name from its parent. The top of a volume is a drive's root:
// it stays the base, so that its contents are stored without its mount path.
QString CompressPlan::baseFolder(bool listClicked, const QString& currentPath, bool atDriveRoot)
{
    if (listClicked || atDriveRoot || currentPath == QStringLiteral("/"))
        return currentPath;
    return parentFolder(currentPath);
}

CompressPlan CompressPlan::make(const QStringList& targets, int dirMethod, bool listClicked,
                                const QString& currentPath, bool atDriveRoot)
{
    CompressPlan plan;
    if (dirMethod == Relative)
        plan.base = baseFolder(listClicked, currentPath, atDriveRoot);
    for (QString target : targets) {
        if (!plan.base.isEmpty() && target.startsWith(plan.base))
            target.remove(0, plan.base.size());
        if (target.isEmpty() || target.endsWith(u'/'))
            target += kEverything;
        plan.targets << target;
    }
    return plan;
}

bool CompressPlan::needsListFile() const
{
    if (targets.size() > 1)
        return true;
    return targets.size() == 1 && NamesArgument::needsListFile(targets.front());
}

QStringList CompressPlan::packedFolders() const
{
    QStringList folders;
    for (const QString& target : targets)
        if (target.endsWith(kEverything))
            folders << base + target.chopped(kEverything.size());
    return folders;
}
