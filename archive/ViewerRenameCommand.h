#pragma once

class ViewerHost;

// The viewer's Rename (mnuEditChangeName): the one selected entry of the LZH
// archive gets a new name, which the library asks the user for; then the
// archive is listed again. Nothing selected does nothing.
class ViewerRenameCommand {
public:
    explicit ViewerRenameCommand(ViewerHost& host);
    void run();

private:
    ViewerHost& host_;
};
