#include "archive/ViewerExtractCommand.h"

#include "archive/NamesArgument.h"
#include "archive/ViewerHost.h"
#include "archive/ViewerSteps.h"
#include "platform/ApplicationTitle.h"
#include "platform/Prompter.h"

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
    const QString options = optionsFor(*kind);
    NamesArgument names;
    if (!all && !names.set(entries)) {
        steps.sayNoListFile();
        return;
    }
    steps.run(*kind,
              steps.lineWithDestination(options, *destination, all ? QStringLiteral("\"*.*\"") : names.text()),
              QStringLiteral("解凍"), QStringLiteral("解凍できませんでした。"));
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

QString ViewerExtractCommand::optionsFor(ArchiverKind kind)
{
    if (kind == ArchiverKind::UnZip)
        return QStringLiteral("-x");
    // A box closed without an answer keeps the folders off, as No does.
    const bool folders =
        host_.prompter().message(QStringLiteral("圧縮ﾌｧｲﾙ内のﾌｫﾙﾀﾞを有効にしますか?"),
                                 Prompter::Buttons::YesNo, Prompter::Icon::Question,
                                 ApplicationTitle())
        == Prompter::Answer::Yes;
    if (kind == ArchiverKind::Unlha)
        return folders ? QStringLiteral("x -a1 -m0 -x1") : QStringLiteral("e -a1 -m0");
    return folders ? QStringLiteral("-x") : QStringLiteral("-x -j");
}
