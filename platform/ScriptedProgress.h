#pragma once

#include "platform/Progress.h"

#include <QStringList>

// The Progress of the tests: records every report and, when told to, asks to
// stop at the n-th report (counted from 1) and at every report after it.
class ScriptedProgress : public Progress {
public:
    void cancelAtReport(int n) { cancelAt_ = n; }

    void start(const QString& caption, qint64 totalBytes) override;
    bool report(const QString& item, qint64 bytesDone) override;
    void finish() override;

    QStringList captions;   // one per start()
    QStringList items;      // one per report()
    qint64 total = 0;       // of the last start()
    qint64 lastDone = 0;    // of the last report()
    int reports = 0;
    int finishes = 0;

private:
    int cancelAt_ = 0;  // 0: never
};
