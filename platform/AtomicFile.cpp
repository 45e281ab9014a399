#include "platform/AtomicFile.h"

#include "archivers/common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

bool AtomicFile::write(const QString& path, const QByteArray& data)
{
    // The file stays private to its owner (mkstemp's mode), whatever the one
    // it replaces allowed: settings are nobody else's business.
    kestrel::arc::AtomicFile file(QFile::encodeName(path).toStdString());
    file.setTemporaryStem(QFile::encodeName(QFileInfo(path).fileName()).toStdString() + ".tmp-");
    file.keepTemporaryMode();
    if (!file.open() || !file.write(data.constData(), size_t(data.size())) || !file.commit())
        return false;
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

bool AtomicFile::syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}
