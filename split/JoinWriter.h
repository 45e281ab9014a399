#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Progress;

// The join engine: writes the entries one after another into one file.
//
// The data goes into a temporary file in the output's folder that replaces the
// output only once everything is there, so the output may be one of the entries
// (entry 0 included) and a cancelled or failed join leaves every file as it was.
struct JoinWriter {
    // Asked for an entry whose file is not there; the file to read instead, or nothing to give up.
    using FindMissing = std::function<std::optional<QString>(const QString& entryPath)>;
    struct Result {
        bool ok = false;
        bool cancelled = false;
        QString error;  // the whole message for the user when neither ok nor cancelled
    };

    // Progress: start("結合", the sizes of the entries found at the start), then
    // report("name (k/N)", bytes written so far) before each entry and after each
    // chunk; a false answer cancels. findMissing is asked again as long as its
    // answer names no file.
    static Result join(const QStringList& entries, const QString& outputPath, Progress& progress,
                       const FindMissing& findMissing);
};
