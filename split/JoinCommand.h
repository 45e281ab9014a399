#pragma once

#include <functional>

class CommandHost;
class frmJoinDialog;

// Join (mnuFileJoin): the selected files go into the join dialog — the whole
// set when they are parts of one divided file, else the selection in list
// order — and the dialog joins them when the user presses OK.
class JoinCommand {
public:
    explicit JoinCommand(CommandHost& host);

    void run();

    // Shows the filled dialog and returns when it has closed; modal by default.
    // Tests replace it to press the dialog's buttons themselves.
    std::function<void(frmJoinDialog&)> showDialog;

private:
    CommandHost& host_;
};
