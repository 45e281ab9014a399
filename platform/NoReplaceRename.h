#pragma once

#include <QString>

// Gives an entry a new name in the same file system without ever replacing what
// already bears that name, also when it appears between a check and the rename.
namespace NoReplaceRename {

// False when the entry could not be renamed (the name is taken, no right, ...);
// the old name then stays.
bool rename(const QString& from, const QString& to);

} // namespace NoReplaceRename
