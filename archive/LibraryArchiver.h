#pragma once

#include "archive/Archiver.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::arc {
class ArchiverLibrary;
}

// The Archiver of the program: loads each library by name at its first use
// (where archivers/common/ArchiverLibrary.h says: next to the program, then
// ../lib/kestrel/ beside it, then the system's search path) and keeps it for
// the life of the program. A library that cannot be loaded fails only the call
// that needed it, with the reason.
class LibraryArchiver : public Archiver {
public:
    LibraryArchiver();
    // Looks in `folders` (each ending in '/', "" for the system's search path)
    // instead of the usual places.
    explicit LibraryArchiver(std::vector<std::string> folders);
    ~LibraryArchiver() override;

    ArchiverOutcome run(const ArchiverCall& call, ArchiveUi& ui) override;
    bool list(ArchiverKind kind, const QString& archivePath, ArchiveUi& ui,
              const std::function<void(const EntryInfo&)>& onEntry,
              ArchiverOutcome* outcome = nullptr) override;

    // The size of the output buffer actually passed for a requested size: the
    // libraries cut their report to it, so it need never be as long as the archive.
    static qint64 bufferSizeFor(qint64 requested);

private:
    // The loaded library, or null with the reason in `outcome`.
    kestrel::arc::ArchiverLibrary* library(ArchiverKind kind, ArchiverOutcome& outcome);

    std::vector<std::string> folders_;
    std::map<ArchiverKind, std::unique_ptr<kestrel::arc::ArchiverLibrary>> libraries_;
};
