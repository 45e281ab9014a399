#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class Archiver;
class Progress;
class Prompter;
class QWidget;

// The archive viewer (frmExtract) as its commands (extract, add, delete, rename,
// self-extracting program) see it. frmExtract implements it; tests use a fake.
class ViewerHost {
public:
    virtual ~ViewerHost() = default;

    // The program-wide archive path and type.
    virtual QString archivePath() const = 0;
    virtual QString archiveType() const = 0;

    // The keys (entry names) of the selected items, in list order.
    virtual QStringList selectedEntries() const = 0;
    // Of the selected entries, those whose name the library had to cut to fit its
    // record: no single-entry command can name them.
    virtual QStringList selectedCutEntries() const = 0;
    // The number of items in the list.
    virtual int itemCount() const = 0;

    // Clears the list and lists the archive again with ViewLzhFile; false when
    // the listing failed (the caller then says so).
    virtual bool listAgain() = 0;

    // The viewer's own Prompter, window and progress, and the way to the libraries.
    virtual Prompter& prompter() = 0;
    virtual QWidget* ownerWindow() = 0;
    virtual std::unique_ptr<Progress> makeProgress() = 0;
    virtual Archiver& archiver() = 0;
};
