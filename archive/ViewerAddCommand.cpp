#include "archive/ViewerAddCommand.h"

#include "archive/NamesArgument.h"
#include "archive/ViewerHost.h"
#include "archive/QuotedArguments.h"
#include "archive/ViewerSteps.h"
#include "platform/Prompter.h"

#include <QFileInfo>

ViewerAddCommand::ViewerAddCommand(ViewerHost& host) : host_(host) {}

void ViewerAddCommand::run()
{
    ViewerSteps steps(host_);
    if (host_.archiveType() != QLatin1String("LZH")) {
        steps.sayUnsupported();
        return;
    }
    // "すべてのﾌｧｲﾙ (*.*)|*.*" in Qt's words: "*" also matches names without a dot.
    const std::optional<QString> file =
        host_.prompter().openFile(QStringLiteral("開く"), QFileInfo(host_.archivePath()).absolutePath(),
                                  QStringLiteral("すべてのﾌｧｲﾙ (*)"));
    if (!file || file->isEmpty())
        return;
    NamesArgument argument;
    if (!argument.set({*file})) {
        steps.sayNoListFile();
        return;
    }
    steps.run(ArchiverKind::Unlha,
              QStringLiteral("a ") + QuotedArguments::quoted(host_.archivePath()) + QLatin1Char(' ')
                  + argument.text(),
              QStringLiteral("圧縮"), QStringLiteral("追加できませんでした。"));
    steps.listAgain();
}
