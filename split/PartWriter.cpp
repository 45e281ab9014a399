#include "split/PartWriter.h"

#include "platform/Progress.h"
#include "platform/ByteCopier.h"
#include "platform/FailureReason.h"
#include "split/PartName.h"

#include "archivers/common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

int openForReading(const QString& path)
{
    int fd;
    do {
        fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

qint64 currentSize(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

// One divide in progress: the open source, the parts done so far and the part being written,
// so that any way out (failure, Cancel) can take back everything this run wrote.
class DivideRun {
public:
    DivideRun(const QString& sourcePath, const QString& folder, const QString& base,
              qint64 partSize, Progress& progress)
        : sourcePath_(sourcePath),
          folder_(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')),
          base_(base), partSize_(partSize), progress_(progress)
    {
    }

    ~DivideRun()
    {
        if (source_ >= 0)
            ::close(source_);
        if (!result_.ok)
            removeWritten();
    }

    PartWriter::Result run(qint64 expectedLength)
    {
        const QString sourceName = QFileInfo(sourcePath_).fileName();
        if (!openSource(sourceName, expectedLength))
            return result_;
        parts_ = PartWriter::partCount(length_, partSize_);
        if (parts_ == 0) {
            result_.ok = true;
            return result_;
        }

        if (!partsLeaveTheSourceAlone(sourceName))
            return result_;

        progress_.start(QStringLiteral("分割"), length_);
        const bool done = writeAll(sourceName);
        progress_.finish();
        if (!done)
            return result_;
        // A file that grew or shrank while it was read gives parts of no one state of it.
        if (currentSize(source_) != length_)
            return sizeChanged(sourceName);
        result_.ok = true;
        result_.written = written_;
        return result_;
    }

private:
    bool openSource(const QString& sourceName, qint64 expectedLength)
    {
        if (partSize_ <= 0)
            return failedBool(QStringLiteral("分割するサイズが正しくありません。"), 0);
        source_ = openForReading(sourcePath_);
        struct stat st;
        if (source_ < 0 || ::fstat(source_, &st) != 0)
            return failedBool(QStringLiteral("%1 を開けませんでした。").arg(sourceName), errno);
        if (!S_ISREG(st.st_mode))
            return failedBool(QStringLiteral("%1 は普通のファイルではありません。").arg(sourceName), 0);
        length_ = st.st_size;
        sourceDevice_ = st.st_dev;
        sourceInode_ = st.st_ino;
        // Parts are no more readable by others than the file they come from: a
        // private file must not become readable by everyone once it is cut up.
        // The user may always read and write their own parts, to join them again.
        partMode_ = mode_t(st.st_mode & 0066) | S_IRUSR | S_IWUSR;
        if (expectedLength >= 0 && expectedLength != length_) {
            sizeChanged(sourceName);
            return false;
        }
        return true;
    }

    // A part is renamed over whatever bears its name. When that is the source
    // itself (the selected name is a link to a file named like one of its
    // parts), the file's only name would go to a part, and a failure later
    // would remove it with the other parts: nothing is written then.
    bool partsLeaveTheSourceAlone(const QString& sourceName)
    {
        for (qint64 k = 1; k <= parts_; ++k) {
            const QString name = base_ + QLatin1Char('.') + PartName::number(k);
            struct stat st;
            if (::stat(native(folder_ + name).constData(), &st) == 0 && st.st_dev == sourceDevice_
                && st.st_ino == sourceInode_)
                return failedBool(
                    QStringLiteral("%1 は %2 そのものなので、分割した部分で置き換えられません。")
                        .arg(name, sourceName),
                    0);
        }
        return true;
    }

    bool writeAll(const QString& sourceName)
    {
        for (qint64 k = 1; k <= parts_; ++k) {
            if (!writePart(k, sourceName))
                return false;
        }
        return true;
    }

    bool writePart(qint64 k, const QString& sourceName)
    {
        const QString name = base_ + QLatin1Char('.') + PartName::number(k);
        const QString item = QStringLiteral("%1 (%2/%3)").arg(name).arg(k).arg(parts_);
        const qint64 offset = (k - 1) * partSize_;
        const qint64 size = std::min(partSize_, length_ - offset);
        if (!progress_.report(item, offset))
            return cancelled();

        const QString finalPath = folder_ + name;
        if (!createTemporary(finalPath))
            return failedBool(QStringLiteral("%1 を作れませんでした。").arg(name), errno);
        const ByteCopier::Result copied = copyPart(part_->descriptor(), offset, size, item);

        if (copied.outcome == ByteCopier::Outcome::Cancelled)
            return cancelled();
        if (copied.outcome == ByteCopier::Outcome::Failed) {
            if (currentSize(source_) != length_) {
                sizeChanged(sourceName);
                return false;
            }
            return failedBool(QStringLiteral("%1 を書き込めませんでした。").arg(name), copied.error);
        }
        if (!part_->commit())
            return failedBool(QStringLiteral("%1 を作れませんでした。").arg(name), errno);
        part_.reset();
        written_ << finalPath;
        return true;
    }

    // Copies the part's bytes into the fresh (empty) part file. Holes of a sparse source are
    // skipped rather than copied: the part reads the same zeros there and stays sparse, so a
    // disk image divides at the speed of its data. The final length is set at the end, which
    // also covers a part that ends in a hole.
    ByteCopier::Result copyPart(int out, qint64 offset, qint64 size, const QString& item)
    {
        ByteCopier::Result total;
        const qint64 end = offset + size;
        qint64 pos = offset;
        while (pos < end) {
            const qint64 data = std::min(nextData(pos, end), end);
            if (data > pos) {
                pos = data;
                if (!progress_.report(item, pos))
                    return outcome(total, ByteCopier::Outcome::Cancelled);
                continue;
            }
            const qint64 hole = std::min(nextHole(pos, end), end);
            const ByteCopier::Result run = ByteCopier::copy(
                source_, pos, out, pos - offset, hole - pos,
                [&](qint64 soFar) { return progress_.report(item, pos + soFar); });
            total.copied += run.copied;
            if (run.outcome != ByteCopier::Outcome::Done) {
                total.error = run.error;
                return outcome(total, run.outcome);
            }
            pos = hole;
        }
        if (::ftruncate(out, off_t(size)) != 0) {
            total.error = errno;
            return outcome(total, ByteCopier::Outcome::Failed);
        }
        total.copied = size;
        return total;
    }

    // Where the source's next data begins at or after `pos`: `end` when only a hole follows,
    // `pos` itself when the file system cannot tell (then everything is copied). A source that
    // shrank also looks like "only a hole"; the length check after the copy catches that.
    qint64 nextData(qint64 pos, qint64 end) const
    {
        const off_t data = ::lseek(source_, off_t(pos), SEEK_DATA);
        if (data >= 0)
            return data;
        return errno == ENXIO ? end : pos;
    }

    qint64 nextHole(qint64 pos, qint64 end) const
    {
        const off_t hole = ::lseek(source_, off_t(pos), SEEK_HOLE);
        return hole > pos ? hole : end;
    }

    static ByteCopier::Result outcome(ByteCopier::Result result, ByteCopier::Outcome how)
    {
        result.outcome = how;
        return result;
    }

    // A hidden name beside the part's, created exclusively so nothing else is overwritten
    // before the part is whole. Group and others get what they had on the source, less the umask.
    bool createTemporary(const QString& finalPath)
    {
        part_ = std::make_unique<kestrel::arc::AtomicFile>(native(finalPath).toStdString());
        part_->setNewFileMode(partMode_);
        part_->setSync(false);
        return part_->open();
    }

    void removeWritten()
    {
        part_.reset();
        for (const QString& part : written_)
            ::unlink(native(part).constData());
        written_.clear();
    }

    bool cancelled()
    {
        result_.cancelled = true;
        return false;
    }

    PartWriter::Result sizeChanged(const QString& sourceName)
    {
        return failed(QStringLiteral("%1 の大きさが変わりました。もう一度分割して下さい。").arg(sourceName));
    }

    PartWriter::Result failed(const QString& what, int error = 0)
    {
        result_.error = error != 0 ? what + FailureReason::forErrno(error) : what;
        return result_;
    }

    bool failedBool(const QString& what, int error)
    {
        failed(what, error);
        return false;
    }

    QString sourcePath_;
    QString folder_;
    QString base_;
    qint64 partSize_;
    Progress& progress_;
    int source_ = -1;
    qint64 length_ = 0;
    qint64 parts_ = 0;
    mode_t partMode_ = 0666;
    dev_t sourceDevice_ = 0;
    ino_t sourceInode_ = 0;
    std::unique_ptr<kestrel::arc::AtomicFile> part_; // the part being written
    QStringList written_;
    PartWriter::Result result_;
};

} // namespace

PartWriter::Result PartWriter::divide(const QString& sourcePath, const QString& folder,
                                      const QString& base, qint64 partSize, Progress& progress,
                                      qint64 expectedLength)
{
    DivideRun run(sourcePath, folder, base, partSize, progress);
    return run.run(expectedLength);
}

qint64 PartWriter::partCount(qint64 length, qint64 partSize)
{
    if (length <= 0 || partSize <= 0)
        return 0;
    return length / partSize + (length % partSize != 0 ? 1 : 0);
}
