#pragma once

#include <QString>
#include <QtGlobal>

// How long work (copy, move, divide, join) tells the user where it is, and
// learns that the user wants it to stop. The real one is ProgressWindow, which
// appears only when the work lasts; tests use ScriptedProgress.
//
// The work keeps running inside its command handler: report() is where the
// window gets painted and its Cancel button gets read, so long work calls it
// often (every block is fine: it is cheap when nothing is due).
class Progress {
public:
    virtual ~Progress() = default;

    // A new piece of work: the window's caption ("コピー", "分割"…) and its size
    // in bytes (0 when not known).
    virtual void start(const QString& caption, qint64 totalBytes) = 0;

    // The item being worked on ("movie_avi_003.002 (2/3)", a file name) and the
    // bytes done of the total so far. Returns false once the user has asked to
    // stop; the caller then removes what it wrote, leaves every source as it
    // was and reports the call as failed.
    virtual bool report(const QString& item, qint64 bytesDone) = 0;

    // The work is over, whatever its outcome; the window goes away.
    virtual void finish() = 0;
};
