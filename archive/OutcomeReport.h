#pragma once

#include "archive/Archiver.h"

#include <QString>

class Prompter;

// Tells the user how a library call ended, in one place for every command:
// - the library could not be loaded: "<name> を読み込めませんでした。" and the
//   reason, exclamation icon;
// - an error result: `failureLine` ("圧縮できませんでした。" …) and the
//   library's report, exclamation icon;
// - a warning result (entries skipped): the report, information icon;
// - success or the user's own cancel: nothing.
// Returns true when the call succeeded or ended with a warning.
class OutcomeReport {
public:
    static bool show(Prompter& prompter, ArchiverKind kind, const ArchiverOutcome& outcome,
                     const QString& failureLine);
};
