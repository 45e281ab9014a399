#include "archive/ViewerSteps.h"

#include "archive/Archiver.h"
#include "archive/OutcomeReport.h"
#include "archive/QuotedArguments.h"
#include "archive/ViewerHost.h"
#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"

#include <QFileInfo>

std::optional<QString> ViewerSteps::pickDestination(const QString& prompt)
{
    std::optional<QString> folder = host_.prompter().pickFolder(prompt, QFileInfo(host_.archivePath()).absolutePath());
    if (!folder || folder->isEmpty())
        return std::nullopt;
    if (folder->contains(QLatin1Char('"'))) {
        say(QStringLiteral("名前に \" を含むﾌｫﾙﾀﾞは指定できません。\n") + *folder, Prompter::Icon::Exclamation);
        return std::nullopt;
    }
    if (!folder->endsWith(QLatin1Char('/')))
        folder->append(QLatin1Char('/'));
    return folder;
}

void ViewerSteps::say(const QString& text, Prompter::Icon icon)
{
    host_.prompter().message(text, Prompter::Buttons::Ok, icon, ApplicationTitle());
}

void ViewerSteps::sayUnsupported()
{
    say(QStringLiteral("ｻﾎﾟｰﾄしていない形式です"), Prompter::Icon::Exclamation);
}

void ViewerSteps::sayNoListFile()
{
    say(QStringLiteral("一時ﾌｧｲﾙを作成できませんでした。"), Prompter::Icon::Exclamation);
}

bool ViewerSteps::refuseCutNames()
{
    const QStringList cut = host_.selectedCutEntries();
    if (cut.isEmpty())
        return false;
    say(QStringLiteral("名前が長すぎるため、この項目は個別に扱えません。\n") + cut.first(),
        Prompter::Icon::Exclamation);
    return true;
}

bool ViewerSteps::run(ArchiverKind kind, const QString& commandLine, const QString& caption,
                      const QString& failureLine)
{
    if (host_.archivePath().contains(QLatin1Char('"'))) {
        say(QStringLiteral("名前に \" を含む書庫は扱えません。\n") + host_.archivePath(), Prompter::Icon::Exclamation);
        return false;
    }
    ArchiverCall call;
    call.kind = kind;
    call.commandLine = commandLine;
    // Read again for every call: an earlier call of the same command may have
    // changed the archive. The Archiver keeps the buffer within its own bounds.
    call.bufferSize = QFileInfo(host_.archivePath()).size();
    call.caption = caption;
    ViewerHost& host = host_;
    ArchiveUi ui{host.prompter(), host.ownerWindow(), [&host] { return host.makeProgress(); }};
    const ArchiverOutcome outcome = host.archiver().run(call, ui);
    return OutcomeReport::show(host.prompter(), kind, outcome, failureLine);
}

void ViewerSteps::listAgain()
{
    if (!host_.listAgain())
        say(QStringLiteral("表示の更新ができませんでした"), Prompter::Icon::Information);
}

QString ViewerSteps::lineWithDestination(const QString& options, const QString& destination,
                                         const QString& rest) const
{
    return options + QLatin1Char(' ') + QuotedArguments::quoted(host_.archivePath()) + QLatin1Char(' ')
           + QuotedArguments::quoted(destination) + QLatin1Char(' ') + rest;
}
