#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes folders and files under a test's temporary folder.
namespace TestTree {

inline void makeFolder(const QString& path)
{
    QDir().mkpath(path);
}

inline void makeFile(const QString& path, qint64 size = 0)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    if (size > 0)
        f.resize(size);  // sparse: large sizes cost no disk
}

// Sets the modification time (seconds since 1970) of a path.
inline void setTime(const QString& path, qint64 seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

}  // namespace TestTree
