// Extracting (or testing) the entries of an open ZIP archive that match a set of
// names, under a destination folder it never writes outside of.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "CommandProgress.h"
#include "CommandResult.h"
#include "Host.h"
#include "RootlessJoin.h"
#include "ZipEntryReader.h"
#include "ZipReader.h"
#include "OutputBuffer.h"

namespace kestrel::zip {

struct ExtractOptions {
    bool junkPaths = false;     // every file straight into the destination, no folders
    bool overwriteAll = false;  // replace existing files without asking
    bool testOnly = false;      // decode and check, write nothing
};

class ZipExtractor {
public:
    ZipExtractor(ZipReader& reader, arc::Host& host, arc::OutputBuffer& out, ExtractOptions options);

    // Extracts the entries matching `patterns` ("*.*" for all) under `dest`, or with
    // testOnly just checks them. Returns a KA_* result.
    int run(const std::string& dest, const std::vector<std::string>& patterns);

private:
    using Attempt = std::function<ZipEntryReader::Status(const char* password)>;

    bool matches(const ZipEntry& entry, const std::vector<std::string>& patterns,
                 std::vector<bool>& used) const;
    void handle(const ZipEntry& entry);
    void testEntry(const ZipEntry& entry);
    void extractFolder(const ZipEntry& entry, const std::string& relative);
    void extractFile(const ZipEntry& entry, const std::string& full, const std::string& relative);
    void extractLink(const ZipEntry& entry, const std::string& full, const std::string& relative);

    // Runs `attempt` without a password, or with the passwords known so far and then
    // with those the user types, until one decodes the entry.
    ZipEntryReader::Status withPassword(const ZipEntry& entry, const Attempt& attempt);
    ZipEntryReader::Status writeFile(const ZipEntry& entry, const std::string& full,
                                     const char* password, std::string& detail);

    // Creates the folders of `relative` (a folder path under the destination) one by
    // one; false (reported) when one is in the way or is a symbolic link.
    bool makeFolders(const std::string& relative, const std::string& entryName);
    // Whether the file at `full` may be written: true when it does not exist or the
    // user lets us replace it; otherwise the skip or cancel is noted.
    bool mayReplace(const std::string& full, const ZipEntry& entry);
    // Reports a file that could not be written; stops the command when the cause
    // will fail the rest too.
    void writeFailure(const std::string& full, int error);
    void restoreFolders();
    void noteFailure(const ZipEntry& entry, ZipEntryReader::Status status, const std::string& detail);
    void skip(const std::string& name, const std::string& why);

    ZipReader& reader_;
    arc::Host& host_;
    arc::OutputBuffer& out_;
    ExtractOptions options_;
    std::string base_;  // the destination folder, without a trailing '/'
    CommandResult result_;
    arc::CommandProgress progress_;  // over every matching entry of the call
    bool stop_ = false;
    int done_ = 0;
    arc::RootlessJoin join_{[this](const std::string& line) { out_.line(line); }};
    std::vector<std::string> passwords_;
    mode_t umask_ = 022;

    struct Folder {
        std::string path;
        time_t mtime;
        uint32_t mode;  // 0 = leave as created
    };
    std::vector<Folder> folders_;
    std::vector<bool> literal_;  // per pattern: some entry has exactly that name
};

}  // namespace kestrel::zip
