#include "archive/ViewerCommands.h"

#include "archive/SfxCommand.h"
#include "archive/ViewerAddCommand.h"
#include "archive/ViewerDeleteCommand.h"
#include "archive/ViewerExtractCommand.h"
#include "archive/ViewerHost.h"
#include "archive/ViewerRenameCommand.h"

ViewerCommands::ViewerCommands(ViewerHost& host) : host_(host) {}

void ViewerCommands::mnuFileMelt_Click()
{
    ViewerExtractCommand(host_).run();
}

void ViewerCommands::mnuFileAdd_Click()
{
    ViewerAddCommand(host_).run();
}

void ViewerCommands::mnuFileDelete_Click()
{
    ViewerDeleteCommand(host_).run();
}

void ViewerCommands::mnuEditChangeName_Click()
{
    ViewerRenameCommand(host_).run();
}

void ViewerCommands::mnuFileSFX_Click()
{
    SfxCommand(host_).run();
}
