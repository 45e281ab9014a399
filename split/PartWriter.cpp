#include "split/PartWriter.h"

#include "platform/Progress.h"
#include "platform/ByteCopier.h"
#include "platform/FailureReason.h"
#include "platform/FileStatus.h"
#include "platform/ReadOnlyFile.h"
#include "platform/SparseCopier.h"
#include "split/PartName.h"

#include "archivers/common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
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
        if (sourceLengthChanged())
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
        // The open does not wait for a FIFO's writer: such a source is refused below.
        source_ = std::make_unique<ReadOnlyFile>(sourcePath_);
        if (!source_->isOpen())
            return failedBool(QStringLiteral("%1 を開けませんでした。").arg(sourceName), source_->error());
        sourceStatus_ = source_->status();
        if (!sourceStatus_.exists())
            return failedBool(QStringLiteral("%1 を開けませんでした。").arg(sourceName), sourceStatus_.error());
        if (!sourceStatus_.isRegular())
            return failedBool(QStringLiteral("%1 は普通のファイルではありません。").arg(sourceName), 0);
        length_ = sourceStatus_.size();
        // Parts are no more readable by others than the file they come from: a
        // private file must not become readable by everyone once it is cut up.
        // The user may always read and write their own parts, to join them again.
        partMode_ = (sourceStatus_.permissions() & 0066) | 0600;
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
            if (FileStatus::of(folder_ + name).sameFileAs(sourceStatus_))
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
            if (sourceLengthChanged()) {
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

    // Copies the part's bytes into the fresh (empty) part file; holes of a sparse source stay
    // holes in the part.
    ByteCopier::Result copyPart(int out, qint64 offset, qint64 size, const QString& item)
    {
        return SparseCopier::copy(source_->fd(), offset, size, out,
                                  [&](qint64 position) { return progress_.report(item, position); });
    }

    // A file that grew or shrank while it was read gives parts of no one state of it.
    bool sourceLengthChanged() const
    {
        const FileStatus now = source_->status();
        return !now.exists() || now.size() != length_;
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
            QFile::remove(part);
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
    std::unique_ptr<ReadOnlyFile> source_;
    FileStatus sourceStatus_;
    qint64 length_ = 0;
    qint64 parts_ = 0;
    unsigned partMode_ = 0666;
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
