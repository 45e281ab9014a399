#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Progress;

// The trash, as every Linux desktop keeps it (the freedesktop.org trash):
//
// - entries of the home trash's volume go to the home trash
//   ($XDG_DATA_HOME/Trash, with files/ and info/);
// - entries of another volume go to that volume's trash, below its top folder
//   (its mount point): $topdir/.Trash/$uid when the shared .Trash is a real,
//   sticky folder, else $topdir/.Trash-$uid.
//
// Trashing never copies: an entry is renamed into the trash of its own
// volume, after its .trashinfo has been written, exclusively, beside it.
// What no trash can take is not deleted here: the caller asks the user first
// and then calls deleteForGood().
class TrashService {
public:
    enum class Outcome {
        Trashed,  // the entry is in a trash now
        NoTrash,  // no trash can take it: the trash itself, no trash folder on its volume
        Failed,   // it could not be moved (gone, no rights, a mount point); nothing changed
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        QString trashedAs;  // the entry's path inside the trash (files/NAME)
        QString reason;     // why it was not trashed, for messages
    };

    // What emptying did.
    struct EmptyReport {
        int removed = 0;       // entries deleted from files/
        QStringList failures;  // "path: reason", one per entry that stayed
        bool cancelled = false;
    };

    TrashService();

    // The home trash folder (default: the generic data folder + "/Trash").
    void setHomeTrash(const QString& folder) { homeTrash_ = folder; }
    QString homeTrash() const { return homeTrash_; }
    // The top folders of the mounted volumes whose trashes are emptied
    // (default: the volumes of VolumeService, unreachable network volumes left out).
    void setVolumeSource(std::function<QStringList()> topdirs) { volumeSource_ = std::move(topdirs); }
    // The top folder (mount point) of the volume holding a path (default:
    // topdirOf()). Tests stand fake volumes in temporary folders.
    void setTopdirResolver(std::function<QString(const QString&)> resolver)
    {
        topdirOf_ = std::move(resolver);
    }

    // Moves the entry at the absolute `path` into the trash of its volume.
    Result trash(const QString& path);

    // Deletes `path` and all below it, never following links, never leaving
    // its volume. `progress` (may be null) sees each entry and may cancel.
    // Failures and cancelling are in the report.
    EmptyReport deleteForGood(const QString& path, Progress* progress = nullptr);

    // The trash folders that exist now: the home trash and those of every volume.
    QStringList existingTrashes() const;
    // How many entries the trashes hold.
    int trashedCount() const;
    // Deletes every entry of every trash, then its .trashinfo, then info files
    // left without an entry.
    EmptyReport emptyAll(Progress* progress = nullptr);

    // The trash folder of a volume's top folder by the rules above, made when
    // missing; empty when the volume can have none (read-only, a .Trash-$uid
    // that is a link or someone else's).
    static QString volumeTrash(const QString& topdir, unsigned uid);
    // The trash folders of a volume that exist and pass the same checks (both
    // kinds may be there); nothing is made.
    static QStringList volumeTrashes(const QString& topdir, unsigned uid);
    // The mount point of the volume holding `path`: the highest folder on the
    // way up that is still on the same device. A path that does not exist
    // answers for its nearest existing folder.
    static QString topdirOf(const QString& path);

private:
    QString trashFolderFor(bool home, const QString& topdir, QString* reason);
    Result moveInto(const QString& path, const QString& trashDir, const QByteArray& infoPath);
    void emptyOne(const QString& trashDir, EmptyReport& report, Progress* progress) const;

    QString homeTrash_;
    std::function<QStringList()> volumeSource_;
    std::function<QString(const QString&)> topdirOf_;
};
