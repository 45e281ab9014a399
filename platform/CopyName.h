#pragma once

#include <string>

// The names a copy gets when it is made in its own folder, as desktop users
// know them: "report - コピー.txt", then "report - コピー (2).txt", and so on.
// Names are the bytes stored on disk (UTF-8 for anything the program makes).
namespace CopyName {

// The n-th copy name of `name` (n counted from 1). A folder's whole name takes
// the suffix; a file's suffix goes before its extension, the text after the
// last "." (a leading dot as in ".profile" starts no extension).
std::string nth(const std::string& name, bool isFolder, int n);

// The first copy name not yet taken in `folder` (entries counted without
// following links, so a dangling link takes its name too); empty when a
// thousand are taken, which is more than anyone makes by hand.
std::string firstFree(const std::string& folder, const std::string& name, bool isFolder);

} // namespace CopyName
