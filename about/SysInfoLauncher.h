#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Finds and starts a program that shows the machine's system information.
// Linux has no one such program, so a list of known ones is searched on PATH
// and the first present is started, detached from Kestrel so that it outlives
// the About box. Tests replace the list, the search folders, the desktop name
// and the way a program is started, so they never start a real program.
class SysInfoLauncher {
public:
    // A program and the arguments that open its system-information view.
    // When `desktops` is not empty the program is only used on one of those
    // desktops (some settings programs refuse to run anywhere else).
    struct Candidate {
        QString program;
        QStringList arguments;
        QStringList desktops;
    };

    // Starts `program` with `arguments` detached; false when it could not be started.
    using Launch = std::function<bool(const QString& program, const QStringList& arguments)>;

    SysInfoLauncher();

    // The programs looked for, in order of preference.
    static QList<Candidate> defaultCandidates();

    void setCandidates(QList<Candidate> candidates) { candidates_ = std::move(candidates); }
    // Folders searched instead of PATH; an empty list means PATH.
    void setSearchPaths(QStringList paths) { searchPaths_ = std::move(paths); }
    // The desktop names as XDG_CURRENT_DESKTOP gives them ("GNOME", "KDE", "ubuntu:GNOME").
    void setDesktop(const QString& desktop) { desktop_ = desktop; }
    void setLaunch(Launch launch) { launch_ = std::move(launch); }

    // Starts the program at `path` with no arguments.
    bool start(const QString& path) const;

    // The full path and arguments of the first candidate present, or an empty
    // program when none is.
    Candidate find() const;

    // Starts the first candidate present; false when none is or it could not be started.
    bool startFirstFound() const;

private:
    bool suitsDesktop(const Candidate& candidate) const;

    QList<Candidate> candidates_;
    QStringList searchPaths_;
    QString desktop_;
    Launch launch_;
};
