#pragma once

#include "archive/ArchiveUi.h"
#include "archive/ArchiverKind.h"

#include "archivers/common/EntryInfo.h"

#include <QString>
#include <QtGlobal>
#include <functional>

// One command sent to a library: which library, the command line exactly as
// the command built it, the output buffer size the command asks for (the
// archive's length, or 32000 for compression; the implementation keeps it
// between 4 KiB and 1 MiB) and the caption of the progress window ("圧縮",
// "解凍", "削除", "名前の変更", "自己解凍書庫の作成").
struct ArchiverCall {
    ArchiverKind kind = ArchiverKind::Unlha;
    QString commandLine;
    qint64 bufferSize = 32000;
    QString caption;
};

// How a call ended.
struct ArchiverOutcome {
    bool loaded = true;   // false: the library could not be loaded (loadError says why)
    QString loadError;    // the library's file name and the reason of every attempt
    int result = 0;       // the library's KestrelResult
    QString report;       // the library's output buffer, up to its first NUL
};

// The window's way to the archiver libraries. The real one (LibraryArchiver)
// loads each library at first use and passes a KestrelHost standing on the
// given ArchiveUi; tests use a recording stand-in (tests/support/RecordingArchiver.h).
// Every call returns after the library has returned.
class Archiver {
public:
    virtual ~Archiver() = default;

    // Runs one command line.
    virtual ArchiverOutcome run(const ArchiverCall& call, ArchiveUi& ui) = 0;

    // Lists `archivePath` as Open, FindFirst("*.*"), FindNext…, Close, handing each
    // record to `onEntry` in the library's order. Returns false when the library
    // could not be loaded (with the reason in `outcome`), the archive could not be
    // opened, or FindFirst found no entry.
    virtual bool list(ArchiverKind kind, const QString& archivePath, ArchiveUi& ui,
                      const std::function<void(const EntryInfo&)>& onEntry,
                      ArchiverOutcome* outcome = nullptr) = 0;
};
