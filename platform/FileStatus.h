#pragma once

#include <QString>
#include <QtGlobal>

#include <cerrno>

struct stat;

// What the file system says about one entry: whether it is there, what kind of
// entry it is, its length and permission bits, and which file it is (device and
// inode), so that two names can be found to be one file.
class FileStatus {
public:
    enum class Kind { Missing, Regular, Folder, Link, Other };

    // The file a path leads to; a link is followed.
    static FileStatus of(const QString& path);
    // The entry itself: a link is a link, even one whose target is gone.
    static FileStatus ofEntry(const QString& path);
    // The file behind an open descriptor.
    static FileStatus ofOpen(int fd);

    bool exists() const { return error_ == 0; }
    // Certainly nothing of that name: the lookup said "no such entry", not
    // "not allowed to look" or "the medium is gone".
    bool certainlyAbsent() const;
    // errno of the failed lookup; 0 when the entry is there.
    int error() const { return error_; }

    Kind kind() const { return kind_; }
    bool isRegular() const { return kind_ == Kind::Regular; }
    bool isFolder() const { return kind_ == Kind::Folder; }
    qint64 size() const { return size_; }
    // The permission bits (rwx for user, group and others), no file type.
    unsigned permissions() const { return permissions_; }
    // The owner's and the group's numeric ids.
    quint32 owner() const { return owner_; }
    quint32 group() const { return group_; }
    // Both name the same file on the same device.
    bool sameFileAs(const FileStatus& other) const;

private:
    static FileStatus answer(int result, const struct stat& st);

    int error_ = ENOENT; // a status never looked up is that of a missing entry
    Kind kind_ = Kind::Missing;
    qint64 size_ = 0;
    unsigned permissions_ = 0;
    quint64 device_ = 0;
    quint64 inode_ = 0;
    quint32 owner_ = 0;
    quint32 group_ = 0;
};
