#include "platform/ReadOnlyFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

ReadOnlyFile::ReadOnlyFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    do {
        fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        error_ = errno;
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}
