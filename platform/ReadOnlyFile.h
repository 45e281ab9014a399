#pragma once

#include "platform/FileStatus.h"

#include <QString>

// A file opened for reading only, closed when the object goes. The open never
// waits: a FIFO or a device opens at once (and shows in status() as not a
// regular file) instead of blocking until a writer comes.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // errno of the failed open; 0 when open.
    int error() const { return error_; }
    int fd() const { return fd_; }
    // What the open file is now (its length may have changed since the open).
    FileStatus status() const { return FileStatus::ofOpen(fd_); }

private:
    int fd_ = -1;
    int error_ = 0;
};
