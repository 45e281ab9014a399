#pragma once

class ViewerHost;

// The viewer's Add (mnuFileAdd): one file the user chooses goes into the LZH
// archive, which is then listed again.
class ViewerAddCommand {
public:
    explicit ViewerAddCommand(ViewerHost& host);
    void run();

private:
    ViewerHost& host_;
};
