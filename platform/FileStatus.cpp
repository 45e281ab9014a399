#include "platform/FileStatus.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace {

FileStatus::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileStatus::Kind::Regular;
    if (S_ISDIR(mode))
        return FileStatus::Kind::Folder;
    if (S_ISLNK(mode))
        return FileStatus::Kind::Link;
    return FileStatus::Kind::Other;
}

} // namespace

FileStatus FileStatus::of(const QString& path)
{
    struct stat st {};
    return answer(::stat(QFile::encodeName(path).constData(), &st), st);
}

FileStatus FileStatus::ofEntry(const QString& path)
{
    struct stat st {};
    return answer(::lstat(QFile::encodeName(path).constData(), &st), st);
}

FileStatus FileStatus::ofOpen(int fd)
{
    struct stat st {};
    return answer(::fstat(fd, &st), st);
}

// Taken right after the call, before anything else can change errno.
FileStatus FileStatus::answer(int result, const struct stat& st)
{
    FileStatus status;
    if (result != 0) {
        status.error_ = errno;
        return status;
    }
    status.error_ = 0;
    status.kind_ = kindOf(st.st_mode);
    status.size_ = st.st_size;
    status.permissions_ = st.st_mode & 0777;
    status.device_ = st.st_dev;
    status.inode_ = st.st_ino;
    status.owner_ = st.st_uid;
    status.group_ = st.st_gid;
    return status;
}

bool FileStatus::certainlyAbsent() const
{
    return error_ == ENOENT;
}

bool FileStatus::sameFileAs(const FileStatus& other) const
{
    return exists() && other.exists() && device_ == other.device_ && inode_ == other.inode_;
}
