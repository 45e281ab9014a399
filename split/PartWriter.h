#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class Progress;

// The divide engine, free of widgets: cuts one file into parts base.001, base.002 … of
// `partSize` bytes (the last one holds the rest) in `folder`. Each part is written under a
// temporary name and renamed into place when complete, so a same-named file is replaced
// whole, and one whose turn has not come survives a failure. On failure or Cancel every part
// of this run is removed again; the source is only ever read.
class PartWriter {
public:
    struct Result {
        bool ok = false;
        bool cancelled = false;
        QString error;       // why it failed, in Japanese, for the message box
        QStringList written; // full paths of the parts, in order (empty unless ok)
    };

    // Reports to `progress` as start("分割", length), then "name (k/P)" with the bytes done.
    // `expectedLength` is the length the caller measured (and counted the parts from); a source
    // that no longer has it fails instead of giving parts that do not match their names.
    // -1 takes the length found at open.
    static Result divide(const QString& sourcePath, const QString& folder, const QString& base,
                         qint64 partSize, Progress& progress, qint64 expectedLength = -1);

    // Parts needed for `length` bytes: one more for a remainder, none for an empty file.
    static qint64 partCount(qint64 length, qint64 partSize);
};
