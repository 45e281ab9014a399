#pragma once

#include <QString>

// The canonical form of a folder path: each component as stored on disk, cut
// at the first component that does not exist (or is not a folder), always
// ending in "/". "/home/aki/nosuch/x" gives "/home/aki/". "." and ".." are
// folded first. A relative or empty path gives an empty text.
namespace LongPath {
QString resolve(const QString& path);
}
