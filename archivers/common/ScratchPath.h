// A hidden scratch file or folder beside the command's output, removed with
// everything in it when the command is over, whatever way it ends.
#ifndef KESTREL_ARC_SCRATCH_PATH_H
#define KESTREL_ARC_SCRATCH_PATH_H

#include <string>

namespace kestrel::arc {

class ScratchPath {
public:
    enum class Kind { File, Folder };

    // Creates ".kes-sfx-XXXXXX" (random tail) in `parent`; path() is empty when
    // the folder cannot take it.
    ScratchPath(const std::string& parent, Kind kind);
    ~ScratchPath();
    ScratchPath(const ScratchPath&) = delete;
    ScratchPath& operator=(const ScratchPath&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    Kind kind_;
};

}  // namespace kestrel::arc

#endif
