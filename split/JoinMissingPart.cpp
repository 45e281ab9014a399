#include "split/JoinMissingPart.h"

#include "platform/Prompter.h"
#include "platform/ApplicationTitle.h"

std::optional<QString> AskForMissingPart(Prompter& prompter, const QString& entryPath)
{
    const qsizetype slash = entryPath.lastIndexOf(QLatin1Char('/'));
    const QString name = entryPath.mid(slash + 1);

    prompter.message(name + QStringLiteral("が見付かりません"), Prompter::Buttons::Ok,
                     Prompter::Icon::Information, ApplicationTitle());
    const Prompter::Answer change =
        prompter.message(QStringLiteral("別のメディアにある場合はメディアを交換して下さい"),
                         Prompter::Buttons::OkCancel, Prompter::Icon::Information, ApplicationTitle());
    if (change != Prompter::Answer::Ok)
        return std::nullopt;
    // The file dialog opens in the entry's folder; given the whole path it also
    // puts the name into its file-name field, so after changing the medium the
    // user only confirms. No filter: a part may have any name.
    return prompter.openFile(name + QStringLiteral("を指定して下さい"), entryPath, QString());
}
