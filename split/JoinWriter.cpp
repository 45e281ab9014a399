#include "split/JoinWriter.h"

#include "platform/Progress.h"
#include "platform/ByteCopier.h"
#include "platform/FailureReason.h"
#include "platform/FileStatus.h"
#include "platform/ReadOnlyFile.h"
#include "split/JoinOutput.h"

namespace {

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// "There is a file at this path": something that exists and is not a folder.
// A path on a medium that is gone fails stat() and so counts as missing too.
bool isThere(const QString& path)
{
    const FileStatus status = FileStatus::of(path);
    return status.exists() && !status.isFolder();
}

qint64 knownTotal(const QStringList& entries)
{
    qint64 total = 0;
    for (const QString& entry : entries) {
        const FileStatus status = FileStatus::of(entry);
        if (status.isRegular())
            total += status.size();
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
    const FileStatus named = FileStatus::of(path);
    if (!named.exists())
        return failed(QStringLiteral("「%1」を読み込めませんでした。").arg(path), named.error());
    if (!named.isRegular())
        return failed(QStringLiteral("「%1」は通常のファイルではないため、結合できません。").arg(path));
    const ReadOnlyFile in(path);
    if (!in.isOpen())
        return failed(QStringLiteral("「%1」を読み込めませんでした。").arg(path), in.error());
    const FileStatus opened = in.status();
    if (!opened.exists())
        return failed(QStringLiteral("「%1」を読み込めませんでした。").arg(path), opened.error());
    output.limitToEntry(opened.permissions());
    const qint64 start = written;
    const ByteCopier::Result copy = ByteCopier::copy(
        in.fd(), 0, output.fd(), start, opened.size(),
        [&](qint64 soFar) { return progress.report(item, start + soFar); });
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
