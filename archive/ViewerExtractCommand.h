#pragma once

#include "archive/ArchiverKind.h"

#include <QString>
#include <QStringList>
#include <optional>

class ViewerHost;
class ViewerSteps;

// The viewer's Extract (mnuFileMelt): the selected entries into a folder the
// user picks. Every entry selected: one call with "*.*". Some: one call per
// entry in list order for LZH and ZIP, stopping at the first that fails; for
// CAB one call naming them all through an "@" list file, because a cabinet
// folder is decoded from its start for every call and a call per entry would
// decode it again and again.
class ViewerExtractCommand {
public:
    explicit ViewerExtractCommand(ViewerHost& host);
    void run();

private:
    // The library and its options (without the archive and what follows),
    // asking about folders for LZH and CAB.
    struct Plan {
        ArchiverKind kind;
        QString options;
    };
    Plan plan(ArchiverKind kind);
    // The library of an archive type; nothing for a type none of them reads.
    static std::optional<ArchiverKind> kindOf(const QString& type);

    bool callWith(const Plan& plan, const QString& destination, const QString& rest);
    void extractEach(const Plan& plan, const QString& destination, const QStringList& entries);
    void extractListed(const Plan& plan, const QString& destination, const QStringList& entries);

    ViewerHost& host_;
};
