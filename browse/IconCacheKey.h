#pragma once

#include <QString>

#include <cstdint>

// The key under which the file list caches an entry's icon: one picture per
// kind of entry, not per file.
//  - the upper-cased extension with its dot (".TXT"), or the whole name upper-
//    cased when it has no dot ("README");
//  - .ICO and .EXE files: the name itself, so each may have its own picture;
//  - folders: "Folder", except read-only or system folders, keyed by name.
QString IconCacheKey(const QString& name, std::uint32_t attributes);
