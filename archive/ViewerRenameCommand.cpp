#include "archive/ViewerRenameCommand.h"

#include "archive/ViewerHost.h"
#include "archive/QuotedArguments.h"
#include "archive/ViewerSteps.h"
#include "platform/Prompter.h"

ViewerRenameCommand::ViewerRenameCommand(ViewerHost& host) : host_(host) {}

void ViewerRenameCommand::run()
{
    ViewerSteps steps(host_);
    const QStringList entries = host_.selectedEntries();
    if (entries.size() > 1) {
        steps.say(QStringLiteral("複数ﾌｧｲﾙの名前を変更する事はできません"), Prompter::Icon::None);
        return;
    }
    // An empty name would only make the library say that no entry has it.
    if (entries.isEmpty())
        return;
    if (host_.archiveType() != QLatin1String("LZH")) {
        steps.sayUnsupported();
        return;
    }
    if (steps.refuseCutNames())
        return;
    // The library takes the name to rename as it stands, never from a list
    // file, and a double quote would end it early on the command line.
    const QString entry = entries.first();
    if (entry.contains(QLatin1Char('"'))) {
        steps.say(QStringLiteral("名前に \" を含む項目の名前は変更できません。\n") + entry,
                  Prompter::Icon::Exclamation);
        return;
    }
    steps.run(ArchiverKind::Unlha,
              QStringLiteral("n ") + QuotedArguments::quoted(host_.archivePath()) + QLatin1Char(' ')
                  + QuotedArguments::quoted(entry),
              QStringLiteral("名前の変更"), QStringLiteral("名前を変更できませんでした。"));
    steps.listAgain();
}
