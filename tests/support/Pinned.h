#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes an entry impossible to remove or rename for the running user: the
// folder holding it turns read-only, or, for root (whom modes do not stop),
// the entry gets the file system's immutable flag. Undone on destruction.
class Pinned {
public:
    explicit Pinned(const QString& path)
    {
        if (::geteuid() != 0) {
            target_ = QFile::encodeName(QFileInfo(path).path());
            ok_ = ::chmod(target_.constData(), 0555) == 0;
            return;
        }
        target_ = QFile::encodeName(path);
        ok_ = setImmutable(true);
    }
    ~Pinned()
    {
        if (!ok_)
            return;
        if (::geteuid() != 0)
            ::chmod(target_.constData(), 0755);
        else
            setImmutable(false);
    }
    bool ok() const { return ok_; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(target_.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QByteArray target_;
    bool ok_ = false;
};
