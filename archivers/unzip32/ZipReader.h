// Read access to one ZIP archive through libzip: the entry table, decoded once,
// and streams of entry data.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ZipEntry.h"

struct zip;
struct zip_file;

namespace kestrel::zip {

class ZipReader {
public:
    ZipReader() = default;
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Opens the archive, also behind data in front of it, and reads its central directory. False (with error()) when the
    // file cannot be read or is not a ZIP archive.
    bool open(const std::string& path);
    void close();

    const std::vector<ZipEntry>& entries() const { return entries_; }
    const std::string& error() const { return error_; }
    // True when the failure of open() was that the file could not be read at all.
    bool openFailed() const { return openFailed_; }

    struct zip* handle() const { return archive_; }

private:
    bool readEntry(uint64_t index, ZipEntry& entry);
    // Opens the archive that begins `start` bytes into the file.
    static struct zip* openFrom(const std::string& path, uint64_t start);

    struct zip* archive_ = nullptr;
    std::vector<ZipEntry> entries_;
    std::string error_;
    bool openFailed_ = false;
};

}  // namespace kestrel::zip
