#pragma once

#include <QStringList>

class ViewerHost;

// The viewer's Delete (mnuFileDelete): the selected entries leave the LZH
// archive, one call per entry in list order, stopping at the first that
// fails; then the archive is listed again. Every entry at once is refused: an
// archive is not emptied from its viewer.
class ViewerDeleteCommand {
public:
    explicit ViewerDeleteCommand(ViewerHost& host);
    void run();

private:
    void deleteEach(const QStringList& entries);

    ViewerHost& host_;
};
