#include "archive/ViewerDeleteCommand.h"

#include "archive/NamesArgument.h"
#include "archive/ViewerHost.h"
#include "archive/QuotedArguments.h"
#include "archive/ViewerSteps.h"
#include "platform/Prompter.h"

ViewerDeleteCommand::ViewerDeleteCommand(ViewerHost& host) : host_(host) {}

void ViewerDeleteCommand::run()
{
    ViewerSteps steps(host_);
    const QStringList entries = host_.selectedEntries();
    if (entries.isEmpty()) {
        steps.say(QStringLiteral("削除対象が選択されていません"), Prompter::Icon::Exclamation);
        return;
    }
    if (host_.archiveType() != QLatin1String("LZH")) {
        steps.sayUnsupported();
        return;
    }
    if (entries.size() == host_.itemCount())
        steps.say(QStringLiteral("全てのﾌｧｲﾙを削除対象にはできません"), Prompter::Icon::Exclamation);
    else if (steps.refuseCutNames())
        return;
    else
        deleteEntries(entries);
    steps.listAgain();
}

void ViewerDeleteCommand::deleteEntries(const QStringList& entries)
{
    ViewerSteps steps(host_);
    NamesArgument names;
    if (!names.set(entries)) {
        steps.sayNoListFile();
        return;
    }
    steps.run(ArchiverKind::Unlha,
              QStringLiteral("d -jyd- ") + QuotedArguments::quoted(host_.archivePath()) + QLatin1Char(' ') + names.text(),
              QStringLiteral("削除"), QStringLiteral("削除できませんでした。"));
}
