#pragma once

#include <QByteArray>
#include <QDateTime>

// The ".trashinfo" file that sits beside every trashed entry and tells where
// it came from and when it went:
//
//   [Trash Info]
//   Path=/home/aki/My%20Notes/%E3%83%A1%E3%83%A2.txt
//   DeletionDate=2024-03-09T14:05:31
//
// The path is the entry's name as bytes on disk, percent-encoded as a URI
// path, so any name (blanks, "%", non-UTF-8 bytes) comes back exactly; the
// date is local time without a zone, as every desktop reads it.
namespace TrashInfo {
// Percent-encodes everything but the unreserved URI characters and "/".
QByteArray encodePath(const QByteArray& nativePath);
// The reverse; malformed escapes are kept as they are.
QByteArray decodePath(const QByteArray& encoded);
// The whole file for the entry at `nativePath` (absolute for the home
// trash, relative to the volume's top folder for a volume's trash).
QByteArray contents(const QByteArray& nativePath, const QDateTime& deletedAt);
// The decoded Path= value of a file's text; empty when it has none.
QByteArray pathOf(const QByteArray& contents);
}  // namespace TrashInfo
