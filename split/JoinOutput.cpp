#include "split/JoinOutput.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

// A link at the output is followed, so that the file it points at gets the
// data (as writing through the link would) instead of the link being replaced.
QString resolvedTarget(const QString& outputPath)
{
    struct stat st;
    if (::lstat(native(outputPath).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return outputPath;
    char resolved[PATH_MAX];
    if (::realpath(native(outputPath).constData(), resolved) == nullptr)
        return outputPath;
    return QFile::decodeName(resolved);
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral("./") : path.left(slash + 1);
}

QString randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    return suffix;
}

} // namespace

JoinOutput::~JoinOutput()
{
    discard();
}

bool JoinOutput::create(const QString& outputPath, int& error)
{
    target_ = resolvedTarget(outputPath);
    struct stat st;
    if (::stat(native(target_).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = EISDIR;
        return false;
    }
    // A device, pipe or socket at that name is not a file to replace: the rename
    // would take away the node itself (for root, even one in /dev).
    if (::stat(native(target_).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = EEXIST;
        special_ = true;
        return false;
    }
    // A read-only file stays as it is: the rename below could replace it, but
    // the user has marked it as not to be written.
    if (::access(native(target_).constData(), F_OK) == 0
        && ::access(native(target_).constData(), W_OK) != 0) {
        error = errno;
        return false;
    }
    return openTemporary(error);
}

bool JoinOutput::openTemporary(int& error)
{
    // A short fixed-form name, so that a long output name cannot make it too
    // long; mode 0666 lets the umask decide, as for any new file.
    const QString folder = folderOf(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = folder + QStringLiteral(".kestrel-join-") + randomSuffix();
        const int fd = ::open(native(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = candidate;
            return true;
        }
        if (errno != EEXIST) {
            error = errno;
            return false;
        }
    }
    error = EEXIST;
    return false;
}

bool JoinOutput::commit(int& error)
{
    struct stat st;
    const bool replacing = ::stat(native(target_).constData(), &st) == 0;
    // The replaced file keeps its permissions (not set-id bits: a joined file is
    // new data). Its data is made durable before the rename, so a crash cannot
    // leave the old file gone and the new one empty.
    // The owner and group come along where the process may give them (root,
    // or a group of the user's own); otherwise the file is the user's, as any
    // file the user writes anew.
    if (replacing && ::fchown(fd_, st.st_uid, st.st_gid) != 0)
        (void)::fchown(fd_, uid_t(-1), st.st_gid);
    int failure = 0;
    if (replacing && (::fchmod(fd_, st.st_mode & 0777) != 0 || ::fsync(fd_) != 0))
        failure = errno;
    // A new file lets group and others read no more than every entry did. File
    // systems that decide modes themselves (FAT) refuse such a change: that is
    // no reason to fail the join, so the answer is not examined.
    struct stat own;
    if (!replacing && ::fstat(fd_, &own) == 0 && (own.st_mode & 0077 & ~othersMay_) != 0)
        (void)::fchmod(fd_, own.st_mode & (0700 | othersMay_));
    // close() reports write-back errors of some file systems (NFS): they count.
    if (::close(fd_) != 0 && failure == 0)
        failure = errno;
    fd_ = -1;
    if (failure == 0 && ::rename(native(temporary_).constData(), native(target_).constData()) != 0)
        failure = errno;
    if (failure != 0) {
        error = failure;
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void JoinOutput::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(native(temporary_).constData());
        temporary_.clear();
    }
}
