#include "fileops/ClipboardCommands.h"

#include "browse/CommandHost.h"
#include "browse/FolderTree.h"
#include "fileops/CollectSelection.h"
#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/ShellFileOperation.h"

namespace {

// The title of every message box of the program.
const QString kTitle = ApplicationTitle();

} // namespace

ClipboardCommands::ClipboardCommands(CommandHost& host) : host_(host) {}

QString ClipboardCommands::failureText()
{
    return QStringLiteral("処理が失敗しました。");
}

void ClipboardCommands::mnuEditCut_Click()
{
    host_.pathList() = CollectSelection(host_);
    host_.setCopyMode(false);
}

void ClipboardCommands::mnuEditCopy_Click()
{
    host_.pathList() = CollectSelection(host_);
    host_.setCopyMode(true);
}

void ClipboardCommands::mnuEditPaste_Click()
{
    QStringList& paths = host_.pathList();
    if (paths.isEmpty()) {
        host_.refreshAll();
        return;
    }
    // With no folder chosen in the tree there is nowhere to paste to.
    const QString destination = host_.folderTree()->selectedKey();
    if (destination.isEmpty()) {
        fail();
        return;
    }
    const auto function = host_.copyMode() ? ShellFileOperation::Function::Copy
                                           : ShellFileOperation::Function::Move;
    const std::unique_ptr<Progress> progress = host_.makeProgress();
    ShellFileOperation operation(host_.prompter(), *progress, kTitle);
    for (QString& path : paths) {
        path = WithoutTrailingSlash(path);
        if (!operation.run(function, path, destination)) {
            // The user's own Cancel is no failure: say nothing, show what is there now.
            if (operation.stoppedAtQuestion())
                host_.refreshAll();
            else
                fail();
            return;
        }
    }
    host_.refreshAll();
}

void ClipboardCommands::fail()
{
    host_.prompter().message(failureText(), Prompter::Buttons::Ok, Prompter::Icon::Exclamation, kTitle);
}
