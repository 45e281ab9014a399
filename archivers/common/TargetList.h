// Expanding the targets of an "add" command into files on disk and the names they
// get inside the archive.
//
// A target is a file, or a folder followed by a wildcard ("docs/*.*": the files in
// docs; with recursion the folder docs itself and everything below it, folders
// included). A bare folder counts
// as the folder itself plus its contents as for "folder/*.*". Relative targets are
// taken from the base folder. Stored names are either the path relative to the base
// folder (keepPaths; without a base folder the full path without its leading '/'),
// or the bare file name.
#ifndef KESTREL_ARC_TARGET_LIST_H
#define KESTREL_ARC_TARGET_LIST_H

#include <string>
#include <vector>

namespace kestrel::arc {

struct Target {
    std::string diskPath;    // where to read it
    std::string storedName;  // '/'-separated name inside the archive, UTF-8
    bool isDirectory = false;
};

class TargetList {
public:
    struct Options {
        bool recurse = false;    // descend into folders, listing them too
        bool keepPaths = false;  // store paths relative to the base folder
    };

    // Appends to `out` in a stable order (sorted per folder); each stored name once
    // (the first wins; a second file under the same name is named in `problems`). `problems` receives one line per target that could not be
    // used (missing, unreadable, a special file). Symbolic links to folders are not
    // followed, so a link loop cannot trap the walk.
    static void expand(const std::string& base, const std::vector<std::string>& targets,
                       const Options& options, std::vector<Target>& out,
                       std::vector<std::string>& problems);
};

}  // namespace kestrel::arc

#endif
