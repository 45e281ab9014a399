#include "archive/ArchiveBackup.h"

#include "platform/FailureReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

namespace {

bool inside(const QString& folder, const QStringList& packedFolders)
{
    for (const QString& packed : packedFolders)
        if (folder.startsWith(packed))
            return true;
    return false;
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

ArchiveBackup::~ArchiveBackup()
{
    restore();
}

QStringList ArchiveBackup::candidateFolders(const QString& archive, const QStringList& packedFolders) const
{
    const QString own = withSlash(QFileInfo(archive).absolutePath());
    QStringList folders{own};
    for (QString up = own; up != QStringLiteral("/");) {
        up = withSlash(QFileInfo(up.chopped(1)).absolutePath());
        folders << up;
    }
    folders << withSlash(QDir::tempPath());
    QStringList usable;
    for (const QString& folder : folders)
        if (!inside(folder, packedFolders) && !usable.contains(folder))
            usable << folder;
    if (!usable.contains(own))
        usable << own;  // packing the old archive once more beats losing it
    return usable;
}

// A rename keeps the old archive's bytes where they are; it fails across file
// systems (EXDEV), and then the next folder is tried.
bool ArchiveBackup::moveInto(const QString& folder, const QString& archive, int* error)
{
    QTemporaryFile slot(folder + u'.' + QFileInfo(archive).fileName() + QStringLiteral(".XXXXXX"));
    slot.setAutoRemove(false);
    if (!slot.open()) {
        *error = EACCES;
        return false;
    }
    const QString name = slot.fileName();
    slot.close();
    if (std::rename(QFile::encodeName(archive).constData(), QFile::encodeName(name).constData()) != 0) {
        *error = errno;
        QFile::remove(name);
        return false;
    }
    kept_ = name;
    return true;
}

bool ArchiveBackup::moveAside(const QString& archive, const QStringList& packedFolders)
{
    restore();
    int error = 0;
    for (const QString& folder : candidateFolders(archive, packedFolders)) {
        if (moveInto(folder, archive, &error)) {
            archive_ = archive;
            return true;
        }
        if (error != EXDEV && error != EACCES && error != EROFS && error != EPERM)
            break;
    }
    error_ = FailureReason::forErrno(error);
    return false;
}

void ArchiveBackup::discard()
{
    if (!kept_.isEmpty())
        QFile::remove(kept_);
    kept_.clear();
}

void ArchiveBackup::restore()
{
    if (kept_.isEmpty())
        return;
    std::rename(QFile::encodeName(kept_).constData(), QFile::encodeName(archive_).constData());
    kept_.clear();
}
