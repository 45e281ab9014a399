#include "archive/SfxCommand.h"

#include "archive/ListFile.h"
#include "archive/ViewerHost.h"
#include "archive/QuotedArguments.h"
#include "archive/ViewerSteps.h"
#include "platform/Prompter.h"

namespace {
const QString Caption = QStringLiteral("自己解凍書庫の作成");
const QString FailureLine = QStringLiteral("自己解凍書庫を作成できませんでした。");
const QString Everything = QStringLiteral("\"*.*\"");
}  // namespace

SfxCommand::SfxCommand(ViewerHost& host) : host_(host) {}

void SfxCommand::run()
{
    ViewerSteps steps(host_);
    const std::optional<QString> destination =
        steps.pickDestination(QStringLiteral("自己解凍ﾌｧｲﾙ作成先ﾌｫﾙﾀﾞを指定して下さい"));
    if (!destination)
        return;
    const QStringList entries = host_.selectedEntries();
    if (entries.isEmpty()) {
        steps.say(QStringLiteral("自己解凍ﾌｧｲﾙ化対象が選択されていません"), Prompter::Icon::Exclamation);
        return;
    }
    const QString type = host_.archiveType();
    if (type == QLatin1String("LZH"))
        makeLzh(*destination, entries);
    else if (type == QLatin1String("CAB"))
        makeCab(*destination);
    else
        steps.sayUnsupported();
}

void SfxCommand::makeLzh(const QString& destination, const QStringList& entries)
{
    ViewerSteps steps(host_);
    const QString options = QStringLiteral("s -a1 -m0 -x1 -gwj1");
    if (entries.size() == host_.itemCount()) {
        steps.run(ArchiverKind::Unlha, steps.lineWithDestination(options, destination, Everything),
                  Caption, FailureLine);
        return;
    }
    if (steps.refuseCutNames())
        return;
    ListFile list;  // removed when this returns, however the call ended
    if (!list.write(entries)) {
        steps.sayNoListFile();
        return;
    }
    steps.run(ArchiverKind::Unlha,
              steps.lineWithDestination(options, destination, QuotedArguments::quoted(list.argument())),
              Caption, FailureLine);
}

void SfxCommand::makeCab(const QString& destination)
{
    ViewerSteps steps(host_);
    steps.say(QStringLiteral("選択状態にかかわらず全てのﾌｧｲﾙが自己解凍の対象となります"), Prompter::Icon::None);
    steps.run(ArchiverKind::Cab, steps.lineWithDestination(QStringLiteral("-f"), destination, Everything),
              Caption, FailureLine);
}
