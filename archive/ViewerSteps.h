#pragma once

#include "archive/ArchiverKind.h"
#include "platform/Prompter.h"

#include <QString>
#include <QStringList>
#include <optional>

class ViewerHost;

// What the viewer's commands do alike: pick a destination, tell the user
// something, run one library call and report how it ended, list the archive
// again after a change.
class ViewerSteps {
public:
    explicit ViewerSteps(ViewerHost& host) : host_(host) {}

    // The folder picker with `prompt`, owned by the viewer: the chosen folder
    // ending in "/", nothing when cancelled. A folder whose name holds a double
    // quote is refused with a message: the quote would end the argument early
    // and the library would take another folder than the one chosen.
    std::optional<QString> pickDestination(const QString& prompt);

    // A message box with an OK button and the application title.
    void say(const QString& text, Prompter::Icon icon);

    // "ｻﾎﾟｰﾄしていない形式です".
    void sayUnsupported();

    // The temporary list file could not be written.
    void sayNoListFile();

    // Refuses (and says why) when one of the selected entries had its name cut
    // by the library: a command that names entries one by one cannot name it.
    bool refuseCutNames();

    // Runs `commandLine` with `kind`'s library on the viewer's thread, the
    // buffer as long as the archive is now, and reports the outcome with
    // `failureLine`. True when the command may go on (success or a warning).
    // An archive path holding a double quote cannot be passed: said, no call.
    bool run(ArchiverKind kind, const QString& commandLine, const QString& caption,
             const QString& failureLine);

    // Clears the list and lists the archive again; says so when that fails.
    void listAgain();

    // `options "A" "D" ` + rest: the start every extraction-like line shares.
    QString lineWithDestination(const QString& options, const QString& destination,
                                const QString& rest) const;

private:
    ViewerHost& host_;
};
