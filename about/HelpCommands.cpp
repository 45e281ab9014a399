#include "about/HelpCommands.h"

#include "platform/ApplicationTitle.h"
#include "about/HelpPage.h"
#include "about/HelpWindow.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QVariant>

namespace {

QStringList& overrideFolders()
{
    static QStringList folders;
    return folders;
}

} // namespace

void HelpCommands::setFolders(QStringList folders)
{
    overrideFolders() = std::move(folders);
}

QString HelpCommands::helpFile()
{
    const QString name = qApp ? qApp->property("HelpFile").toString() : QString();
    return name.isEmpty() ? QStringLiteral("Kestrel.hlp") : name;
}

bool HelpCommands::show(QWidget* owner, Prompter& prompter, int command)
{
    if (command != HELP_CONTENTS && command != HELP_PARTIALKEY)
        return false;

    const QString file = helpFile();
    const QStringList folders =
        overrideFolders().isEmpty() ? HelpPage::defaultFolders() : overrideFolders();
    const QString page = HelpPage::locate(file, folders);
    if (page.isEmpty()) {
        prompter.message(QStringLiteral("ﾍﾙﾌﾟ ﾌｧｲﾙ %1 が見つかりません。").arg(HelpPage::pageName(file)),
                         Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
        return false;
    }

    HelpWindow* window = HelpWindow::instance(owner);
    QString error;
    if (!window->load(page, error)) {
        // The reason as the system words it; the window is not shown.
        prompter.message(error, Prompter::Buttons::Ok, Prompter::Icon::None, ApplicationTitle());
        return false;
    }
    if (command == HELP_CONTENTS)
        window->showContents();
    else
        window->showSearch();
    return true;
}
