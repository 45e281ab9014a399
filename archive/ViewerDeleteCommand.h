#pragma once

#include <QStringList>

class ViewerHost;

// The viewer's Delete (mnuFileDelete): the selected entries leave the LZH
// archive in one library call (one name, or an "@" list file of several: see
// NamesArgument), then the archive is listed again. Every entry at once is
// refused: an archive is not emptied from its viewer.
class ViewerDeleteCommand {
public:
    explicit ViewerDeleteCommand(ViewerHost& host);
    void run();

private:
    void deleteEntries(const QStringList& entries);

    ViewerHost& host_;
};
