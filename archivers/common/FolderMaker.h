// Creating the folders that extraction writes into.
#ifndef KESTREL_ARC_FOLDER_MAKER_H
#define KESTREL_ARC_FOLDER_MAKER_H

#include <functional>
#include <string>

#include "OutputBuffer.h"

namespace kestrel::arc {

class FolderMaker {
public:
    enum class Outcome {
        Made,          // every folder exists now
        CannotCreate,  // mkdir failed: `error` holds errno
        ThroughLink,   // a folder on the way is a symbolic link
        NotAFolder,    // a file stands where a folder belongs
    };

    struct Failure {
        std::string path;  // the folder that could not be made
        int error = 0;     // errno, for CannotCreate
    };

    // Creates `dest` with any missing parents. The destination is the user's choice,
    // so links on the way to it are followed; true when it ends up a folder.
    static bool makeDestination(const std::string& dest);

    // Creates each folder of `relative` (a checked path, '/'-separated) below `dest`
    // (no trailing '/'). Below the destination every folder must be a real one, since
    // a link there could lead the extraction anywhere.
    static Outcome makeBelow(const std::string& dest, const std::string& relative, Failure& failure);

    // The words for an outcome other than Made, as the extractors report it: for
    // CannotCreate a whole line (the extraction cannot write there), otherwise the
    // reason the one entry is skipped.
    static std::string describe(Outcome outcome, const Failure& failure);

    // makeBelow for the folders of one entry, with the outcome reported in `out`: a
    // folder that cannot be created is an error of the extraction (KA_ERR_WRITE), a
    // link or a file in the way skips this entry (KA_WARN_SKIPPED); `note` receives
    // that code. True when the folders exist.
    static bool makeForEntry(const std::string& dest, const std::string& relative,
                             const std::string& entryName, OutputBuffer& out,
                             const std::function<void(int)>& note);
};

}  // namespace kestrel::arc

#endif
