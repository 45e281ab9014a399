#include "about/SysInfoLauncher.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

SysInfoLauncher::SysInfoLauncher()
    : candidates_(defaultCandidates()),
      desktop_(QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_CURRENT_DESKTOP"))),
      launch_([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      })
{
}

QList<SysInfoLauncher::Candidate> SysInfoLauncher::defaultCandidates()
{
    // Programs whose purpose is a report of the whole system come first: they
    // work on any desktop and show the most. The desktops' own information
    // pages follow; the hardware listers close the list.
    return {
        {QStringLiteral("hardinfo2"), {}, {}},
        {QStringLiteral("hardinfo"), {}, {}},
        {QStringLiteral("kinfocenter"), {}, {}},
        {QStringLiteral("xfce4-about"), {}, {}},
        {QStringLiteral("cinnamon-settings"), {QStringLiteral("info")}, {QStringLiteral("X-Cinnamon")}},
        // Settings refuses to start outside GNOME and only says so on its
        // error output, which a detached start never sees.
        {QStringLiteral("gnome-control-center"), {QStringLiteral("info-overview")},
         {QStringLiteral("GNOME"), QStringLiteral("Unity")}},
        {QStringLiteral("lshw-gtk"), {}, {}},
        {QStringLiteral("cpu-x"), {}, {}},
    };
}

bool SysInfoLauncher::start(const QString& path) const
{
    return !path.isEmpty() && launch_(path, {});
}

bool SysInfoLauncher::suitsDesktop(const Candidate& candidate) const
{
    if (candidate.desktops.isEmpty())
        return true;
    // XDG_CURRENT_DESKTOP is a colon-separated list, most specific first.
    const QStringList current = desktop_.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& name : current)
        if (candidate.desktops.contains(name, Qt::CaseInsensitive))
            return true;
    return false;
}

SysInfoLauncher::Candidate SysInfoLauncher::find() const
{
    for (const Candidate& candidate : candidates_) {
        if (!suitsDesktop(candidate))
            continue;
        const QString path = QStandardPaths::findExecutable(candidate.program, searchPaths_);
        if (!path.isEmpty())
            return {path, candidate.arguments, candidate.desktops};
    }
    return {};
}

bool SysInfoLauncher::startFirstFound() const
{
    const Candidate found = find();
    return !found.program.isEmpty() && launch_(found.program, found.arguments);
}
