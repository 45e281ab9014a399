#include "split/JoinWriter.h"

#include "platform/Progress.h"
#include "platform/ByteCopier.h"
#include "platform/FailureReason.h"
#include "split/JoinOutput.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// "There is a file at this path": something that exists and is not a folder.
// A path on a medium that is gone fails stat() and so counts as missing too.
bool isThere(const QString& path)
{
    struct stat st;
    return ::stat(native(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

qint64 knownTotal(const QStringList& entries)
{
    qint64 total = 0;
    for (const QString& entry : entries) {
        struct stat st;
        if (::stat(native(entry).constData(), &st) == 0 && S_ISREG(st.st_mode))
            total += st.st_size;
    }
    return total;
}

JoinWriter::Result cancelled()
{
    JoinWriter::Result result;
    result.cancelled = true;
    return result;
}

JoinWriter::Result failed(const QString& message)
{
    JoinWriter::Result result;
    result.error = message;
    return result;
}

JoinWriter::Result failed(const QString& what, int error)
{
    return failed(FailureReason::message(what, error));
}

// The file to read for an entry: the entry itself, or what findMissing names
// instead, asked again for as long as its answer names no file.
std::optional<QString> locate(const QString& entry, const JoinWriter::FindMissing& findMissing)
{
    QString path = entry;
    while (!isThere(path)) {
        if (!findMissing)
            return std::nullopt;
        const std::optional<QString> answer = findMissing(entry);
        if (!answer)
            return std::nullopt;
        path = *answer;
    }
    return path;
}

// One entry appended at `written`. Only regular files are read: a FIFO or a
// device would block or never end.
JoinWriter::Result append(const QString& path, JoinOutput& output, qint64& written,
                          const QString& item, Progress& progress)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return failed(QStringLiteral("「%1」を読み込めませんでした。").arg(path), errno);
    if (!S_ISREG(st.st_mode))
        return failed(QStringLiteral("「%1」は通常のファイルではないため、結合できません。").arg(path));
    const int inFd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (inFd < 0)
        return failed(QStringLiteral("「%1」を読み込めませんでした。").arg(path), errno);
    if (::fstat(inFd, &st) != 0) {
        const int error = errno;
        ::close(inFd);
        return failed(QStringLiteral("「%1」を読み込めませんでした。").arg(path), error);
    }
    output.limitToEntry(st.st_mode);
    const qint64 start = written;
    const ByteCopier::Result copy = ByteCopier::copy(
        inFd, 0, output.fd(), start, st.st_size,
        [&](qint64 soFar) { return progress.report(item, start + soFar); });
    ::close(inFd);
    written = start + copy.copied;
    switch (copy.outcome) {
    case ByteCopier::Outcome::Done:
        return JoinWriter::Result{true, false, {}};
    case ByteCopier::Outcome::Cancelled:
        return cancelled();
    case ByteCopier::Outcome::Failed:
        break;
    }
    return failed(QStringLiteral("「%1」の結合中にエラーが発生しました。").arg(path), copy.error);
}

JoinWriter::Result run(const QStringList& entries, const QString& outputPath, Progress& progress,
                       const JoinWriter::FindMissing& findMissing)
{
    JoinOutput output;
    int error = 0;
    if (!output.create(outputPath, error)) {
        if (output.refusedSpecialFile())
            return failed(QStringLiteral("「%1」は通常のファイルではないため、置き換えられません。").arg(outputPath));
        return failed(QStringLiteral("「%1」を作成できませんでした。").arg(outputPath), error);
    }

    qint64 written = 0;
    const qsizetype count = entries.size();
    for (qsizetype k = 0; k < count; ++k) {
        const QString item =
            QStringLiteral("%1 (%2/%3)").arg(fileNameOf(entries[k])).arg(k + 1).arg(count);
        if (!progress.report(item, written))
            return cancelled();
        const std::optional<QString> path = locate(entries[k], findMissing);
        if (!path)
            return cancelled();
        const JoinWriter::Result step = append(*path, output, written, item, progress);
        if (!step.ok)
            return step;
    }
    if (!output.commit(error))
        return failed(QStringLiteral("「%1」を保存できませんでした。").arg(outputPath), error);
    return JoinWriter::Result{true, false, {}};
}

} // namespace

JoinWriter::Result JoinWriter::join(const QStringList& entries, const QString& outputPath,
                                    Progress& progress, const FindMissing& findMissing)
{
    progress.start(QStringLiteral("結合"), knownTotal(entries));
    const Result result = run(entries, outputPath, progress, findMissing);
    progress.finish();
    return result;
}
