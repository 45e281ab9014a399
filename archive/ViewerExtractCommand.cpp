#include "archive/ViewerExtractCommand.h"

#include "archive/EntryArgument.h"
#include "archive/ListFile.h"
#include "archive/ViewerHost.h"
#include "archive/ViewerSteps.h"
#include "platform/ApplicationTitle.h"
#include "platform/Prompter.h"

namespace {
const QString Caption = QStringLiteral("解凍");
const QString FailureLine = QStringLiteral("解凍できませんでした。");
}  // namespace

ViewerExtractCommand::ViewerExtractCommand(ViewerHost& host) : host_(host) {}

void ViewerExtractCommand::run()
{
    ViewerSteps steps(host_);
    const std::optional<QString> destination =
        steps.pickDestination(QStringLiteral("解凍先フォルダを指定して下さい"));
    if (!destination)
        return;
    const QStringList entries = host_.selectedEntries();
    if (entries.isEmpty()) {
        steps.say(QStringLiteral("解凍対象が選択されていません"), Prompter::Icon::Exclamation);
        return;
    }
    const std::optional<ArchiverKind> kind = kindOf(host_.archiveType());
    if (!kind) {
        steps.sayUnsupported();
        return;
    }
    const bool all = entries.size() == host_.itemCount();
    if (!all && steps.refuseCutNames())
        return;
    const Plan chosen = plan(*kind);
    if (all)
        callWith(chosen, *destination, QStringLiteral("\"*.*\""));
    else if (*kind == ArchiverKind::Cab)
        extractListed(chosen, *destination, entries);
    else
        extractEach(chosen, *destination, entries);
}

std::optional<ArchiverKind> ViewerExtractCommand::kindOf(const QString& type)
{
    if (type == QLatin1String("LZH"))
        return ArchiverKind::Unlha;
    if (type == QLatin1String("CAB"))
        return ArchiverKind::Cab;
    if (type == QLatin1String("ZIP"))
        return ArchiverKind::UnZip;
    return std::nullopt;
}

ViewerExtractCommand::Plan ViewerExtractCommand::plan(ArchiverKind kind)
{
    if (kind == ArchiverKind::UnZip)
        return Plan{kind, QStringLiteral("-x")};
    // A box closed without an answer keeps the folders off, as No does.
    const bool folders =
        host_.prompter().message(QStringLiteral("圧縮ﾌｧｲﾙ内のﾌｫﾙﾀﾞを有効にしますか?"),
                                 Prompter::Buttons::YesNo, Prompter::Icon::Question,
                                 ApplicationTitle())
        == Prompter::Answer::Yes;
    if (kind == ArchiverKind::Unlha)
        return Plan{kind, folders ? QStringLiteral("x -a1 -m0 -x1") : QStringLiteral("e -a1 -m0")};
    return Plan{kind, folders ? QStringLiteral("-x") : QStringLiteral("-x -j")};
}

bool ViewerExtractCommand::callWith(const Plan& plan, const QString& destination, const QString& rest)
{
    ViewerSteps steps(host_);
    return steps.run(plan.kind, steps.lineWithDestination(plan.options, destination, rest), Caption,
                     FailureLine);
}

void ViewerExtractCommand::extractEach(const Plan& plan, const QString& destination,
                                       const QStringList& entries)
{
    for (const QString& entry : entries) {
        EntryArgument argument;
        if (!argument.set(entry)) {
            ViewerSteps(host_).sayNoListFile();
            return;
        }
        if (!callWith(plan, destination, argument.text()))
            return;
    }
}

void ViewerExtractCommand::extractListed(const Plan& plan, const QString& destination,
                                         const QStringList& entries)
{
    ListFile list;
    if (!list.write(entries)) {
        ViewerSteps(host_).sayNoListFile();
        return;
    }
    callWith(plan, destination, ViewerSteps::quoted(list.argument()));
}
