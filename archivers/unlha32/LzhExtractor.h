// Extracting entries of an LZH archive into a destination folder, safely: names
// that would land outside it are refused, existing files are replaced only when
// the caller agrees, and each file appears only once its CRC has checked.
#ifndef KESTREL_LZH_EXTRACTOR_H
#define KESTREL_LZH_EXTRACTOR_H

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "Host.h"
#include "RootlessJoin.h"
#include "LzhArchive.h"

namespace kestrel::lzh {

class LzhExtractor {
public:
    struct Options {
        bool keepFolders = true;    // false: every file straight into the destination
        bool restoreModes = false;  // stored permissions (else the usual defaults)
    };
    using AskOverwrite = std::function<arc::Host::Overwrite(const std::string& path)>;
    using Report = std::function<void(const std::string& line)>;
    // Progress of one entry in decoded bytes; false cancels.
    using Progress = std::function<bool(const std::string& name, uint64_t done, uint64_t total)>;

    struct Summary {
        int extracted = 0;
        int unsafe = 0;        // refused names and links
        int keptExisting = 0;  // existing files the caller chose to keep
        int damaged = 0;
        int unsupported = 0;
        int writeErrors = 0;
        bool cancelled = false;
    };

    LzhExtractor(const LzhArchive& archive, std::string dest, Options options, AskOverwrite ask,
                 Report report, Progress progress = {});

    // Extracts one entry. False once the work was cancelled.
    bool extract(const LzhEntry& entry);
    // Gives the folders made their stored times and modes (after their contents,
    // which would otherwise change the times again).
    void finish();

    const Summary& summary() const { return summary_; }

private:
    struct Folder {
        std::string path;
        time_t mtime;
        bool hasMode;
        mode_t mode;
    };

    bool makeParents(const std::string& relative);
    bool makeFolder(const std::string& path);
    void extractFolder(const LzhEntry& entry, const std::string& full);
    void extractFile(const LzhEntry& entry, const std::string& full, const std::string& shown);
    void extractLink(const LzhEntry& entry, const std::string& full, const std::string& relative);
    bool mayReplace(const std::string& full, bool& replacing);
    mode_t fileMode(const LzhEntry& entry) const;

    const LzhArchive& archive_;
    std::string dest_;
    Options options_;
    AskOverwrite ask_;
    Report report_;
    Progress progress_;
    Summary summary_;
    std::vector<Folder> folders_;
    mode_t umask_;
    arc::RootlessJoin join_;
};

}  // namespace kestrel::lzh

#endif
