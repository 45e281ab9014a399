#pragma once

#include <QString>
#include <QStringList>

class ViewerHost;

// The viewer's self-extracting program (mnuFileSFX): DEST + the archive's stem
// + ".run", made by the archive's library. LZH: the selected entries ("*.*"
// when all are selected, an "@" list file of their names otherwise). CAB:
// always every entry, after a note saying so.
class SfxCommand {
public:
    explicit SfxCommand(ViewerHost& host);
    void run();

private:
    void makeLzh(const QString& destination, const QStringList& entries);
    void makeCab(const QString& destination);

    ViewerHost& host_;
};
