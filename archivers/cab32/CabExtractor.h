// Extracts files of a cabinet or a cabinet set into a destination folder, never
// outside it, replacing existing files only when the user says so.
#ifndef KESTREL_CAB_EXTRACTOR_H
#define KESTREL_CAB_EXTRACTOR_H

#include <mspack.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "CabEntry.h"
#include "CabResult.h"
#include "CommandProgress.h"
#include "Host.h"
#include "RootlessJoin.h"
#include "OutputBuffer.h"

namespace kestrel::arc::cab {

class CabArchive;

struct CabExtractOptions {
    bool keepFolders = true;      // recreate the stored folders (else bare names)
    bool askForMissing = false;   // ask the user for cabinets of the set not found
    std::vector<std::string> patterns;  // empty: every entry
    bool replaceExisting = false; // replace existing files without asking (a stub's -o)
    bool restoreReadOnly = true;  // the read-only attribute takes the write bits away
    // Hears the name (with '/') of every file written whole.
    std::function<void(const std::string&)> extracted;
};

class CabExtractor {
public:
    CabExtractor(Host& host, OutputBuffer& out) : host_(host), out_(out), progress_(host, 0) {}

    // Creates the destination folder and its parents as needed.
    static bool makeDestination(const std::string& dest);

    // Returns a KestrelResult.
    int run(const std::string& archivePath, const std::string& dest, const CabExtractOptions& options);

private:
    bool wanted(const CabEntry& entry) const;
    void extractOne(CabArchive& archive, mscabd_file* file, const CabEntry& entry);
    bool makeFolders(const std::string& relative, const std::string& entryName);
    bool mayReplace(const std::string& full, const std::string& entryName);
    void skip(const std::string& entryName, const std::string& why);

    Host& host_;
    OutputBuffer& out_;
    CabExtractOptions options_;
    std::string dest_;
    std::string missing_;            // the first cabinet of the set that could not be found
    std::set<std::string> literal_;  // patterns that name an entry exactly
    CabResult result_;
    CommandProgress progress_;  // over every wanted entry of the call
    bool stop_ = false;
    RootlessJoin join_{[this](const std::string& line) { out_.line(line); }};
};

}  // namespace kestrel::arc::cab

#endif
