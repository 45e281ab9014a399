#pragma once

class ViewerHost;

// The archive viewer's commands on the open archive: extract the selected
// entries (mnuFileMelt), add a file (mnuFileAdd), delete entries
// (mnuFileDelete), rename one entry (mnuEditChangeName) and make a
// self-extracting program (mnuFileSFX). Each builds its command lines, hands
// them to the archive's library and, for the editing commands, lists the
// archive again.
class ViewerCommands {
public:
    explicit ViewerCommands(ViewerHost& host);

    void mnuFileMelt_Click();
    void mnuFileAdd_Click();
    void mnuFileDelete_Click();
    void mnuEditChangeName_Click();
    void mnuFileSFX_Click();

private:
    ViewerHost& host_;
};
