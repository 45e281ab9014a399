#include "platform/DirectoryReader.h"

#include "platform/Attributes.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace DirectoryReader {

namespace {

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// An open folder stream that closes itself.
class Folder {
public:
    explicit Folder(const QString& path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            error_ = errno;
            return;
        }
        dir_ = ::fdopendir(fd);
        if (!dir_) {
            error_ = errno;
            ::close(fd);
        }
    }
    ~Folder()
    {
        if (dir_)
            ::closedir(dir_);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int error() const { return error_; }
    int fd() const { return ::dirfd(dir_); }
    // The next entry other than "." and ".."; null at the end or on a read
    // error (then error() is set).
    const dirent* next()
    {
        for (;;) {
            errno = 0;
            const dirent* d = ::readdir(dir_);
            if (!d) {
                error_ = errno;
                return nullptr;
            }
            if (!isDotOrDotDot(d->d_name))
                return d;
        }
    }

private:
    DIR* dir_ = nullptr;
    int error_ = 0;
};

// Whether the entry is a folder, asking the file system only when readdir
// cannot tell (links, and volumes that do not fill d_type).
bool entryIsFolder(int dirFd, const dirent* d)
{
    if (d->d_type == DT_DIR)
        return true;
    if (d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::fstatat(dirFd, d->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int forEach(const QString& folder, const std::function<void(const Entry&)>& each, Options options)
{
    Folder dir(folder);
    if (dir.error())
        return dir.error();
    const int fd = dir.fd();
    const Attributes::Identity who = Attributes::Identity::current();
    struct statvfs vfs {};
    const bool readOnlyVolume = ::fstatvfs(fd, &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
    const bool askCompressed = options.withAttributes && Attributes::volumeHasCompression(fd);

    while (const dirent* d = dir.next()) {
        struct stat st {};
        // Follow links so a link to a folder lists as a folder; a dangling
        // link still lists, with the link's own data.
        if (::fstatat(fd, d->d_name, &st, 0) != 0 &&
            ::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since readdir saw it
        Entry e;
        e.name = d->d_name;
        e.isFolder = S_ISDIR(st.st_mode);
        e.size = e.isFolder ? 0 : static_cast<std::int64_t>(st.st_size);
        e.mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec);
        e.timeValid = true;
        e.attributes = Attributes::fromStat(d->d_name, st, who, readOnlyVolume);
        if (askCompressed && Attributes::compressedFlag(fd, d->d_name, st))
            e.attributes |= Attributes::Compressed;
        each(e);
    }
    // A read that broke off (an I/O error) reports it after what was read.
    return dir.error();
}

int subfolders(const QString& folder, QStringList& names)
{
    names.clear();
    Folder dir(folder);
    if (dir.error())
        return dir.error();
    while (const dirent* d = dir.next())
        if (entryIsFolder(dir.fd(), d))
            names.append(QFile::decodeName(d->d_name));
    return 0;
}

bool hasSubfolder(const QString& folder)
{
    Folder dir(folder);
    if (dir.error())
        return false;
    while (const dirent* d = dir.next())
        if (entryIsFolder(dir.fd(), d))
            return true;
    return false;
}

int probe(const QString& folder)
{
    Folder dir(folder);
    if (dir.error())
        return dir.error();
    dir.next();
    return dir.error();
}

}  // namespace DirectoryReader
