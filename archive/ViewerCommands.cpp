#include "archive/ViewerCommands.h"

#include "archive/ViewerHost.h"

ViewerCommands::ViewerCommands(ViewerHost& host) : host_(host) {}

// Being written: the bodies come with the viewer commands' own change.
void ViewerCommands::mnuFileMelt_Click() {}
void ViewerCommands::mnuFileAdd_Click() {}
void ViewerCommands::mnuFileDelete_Click() {}
void ViewerCommands::mnuEditChangeName_Click() {}
void ViewerCommands::mnuFileSFX_Click() {}
