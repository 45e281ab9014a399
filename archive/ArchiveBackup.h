#pragma once

#include <QString>
#include <QStringList>

// Keeps an archive that is about to be replaced until its successor is
// complete. moveAside() renames it to a hidden name, so the library makes a
// new archive under the old name; keep() then removes the old one, and
// anything else (a failed or cancelled call, an early return) puts it back.
class ArchiveBackup {
public:
    ArchiveBackup() = default;
    ~ArchiveBackup();
    ArchiveBackup(const ArchiveBackup&) = delete;
    ArchiveBackup& operator=(const ArchiveBackup&) = delete;

    // Moves `archive` to a hidden name on its own file system, outside every
    // folder of `packedFolders` (so the library does not pack the old archive
    // into the new one): in the archive's folder, else the nearest parent
    // folder that qualifies, else the temporary folder. Where none does, the
    // archive's own folder is used. False, with the reason, when it cannot move.
    bool moveAside(const QString& archive, const QStringList& packedFolders);
    QString error() const { return error_; }

    // The new archive is complete: the old one goes.
    void discard();
    // The new archive was not made: the old one comes back under its name.
    void restore();

    // Where the old archive is kept now; empty when nothing is kept.
    QString keptPath() const { return kept_; }

private:
    QStringList candidateFolders(const QString& archive, const QStringList& packedFolders) const;
    bool moveInto(const QString& folder, const QString& archive, int* error);

    QString archive_;
    QString kept_;
    QString error_;
};
