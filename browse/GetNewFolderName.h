#pragma once

#include <QString>

// The first free name among NewFolder, NewFolder1 ... NewFolder9999 in the
// folder `path` (with or without a trailing "/"), or an empty text when all
// are taken. Any existing entry of that name counts as taken, hidden ones too,
// so the name never collides with something the user cannot see.
QString GetNewFolderName(const QString& path);
