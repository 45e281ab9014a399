#pragma once

#include "archive/ArchiverKind.h"

#include <QString>
#include <QStringList>
#include <optional>

class ViewerHost;

// The viewer's Extract (mnuFileMelt): the selected entries into a folder the
// user picks, in one library call: "*.*" when every entry is selected, the
// entry's name when one is, an "@" list file of the names when several are
// (see NamesArgument for why not one call per entry).
class ViewerExtractCommand {
public:
    explicit ViewerExtractCommand(ViewerHost& host);
    void run();

private:
    // The library of an archive type; nothing for a type none of them reads.
    static std::optional<ArchiverKind> kindOf(const QString& type);
    // The library's options (without the archive and what follows), asking
    // about folders for LZH and CAB.
    QString optionsFor(ArchiverKind kind);

    ViewerHost& host_;
};
