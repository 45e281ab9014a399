// An LZH archive opened for reading: its entries and read access to their bytes.
// An archive may sit behind a program stub (a self-extracting program); then the
// entries start later in the file and `hasPrefix()` is true.
#ifndef KESTREL_LZH_ARCHIVE_H
#define KESTREL_LZH_ARCHIVE_H

#include <cstdint>
#include <string>
#include <vector>

#include "LzhEntry.h"

namespace kestrel::lzh {

class LzhArchive {
public:
    enum class Status {
        Ok,
        CannotOpen,  // the file cannot be opened or read
        NotArchive,  // no LZH header where one must be
        Damaged,     // some entries were read, then a header or the data was broken
    };

    LzhArchive() = default;
    ~LzhArchive();
    LzhArchive(const LzhArchive&) = delete;
    LzhArchive& operator=(const LzhArchive&) = delete;

    // Reads every header of the archive at `path`. A file that ends in a
    // self-extracting trailer is read from the payload the trailer names.
    Status open(const std::string& path);
    // Reads the headers of an archive stored at [offset, offset + length) of `path`.
    Status openRegion(const std::string& path, uint64_t offset, uint64_t length);

    Status status() const { return status_; }
    const std::string& problem() const { return problem_; }
    const std::vector<LzhEntry>& entries() const { return entries_; }
    bool hasPrefix() const { return start_ != 0; }
    uint64_t start() const { return start_; }
    uint64_t end() const { return end_; }

    // Reads `size` bytes at the absolute file offset; false past the archive's end.
    bool readAt(uint64_t offset, void* buffer, size_t size) const;
    int fd() const { return fd_; }

private:
    Status scan(uint64_t from);
    bool findStart(uint64_t from, uint64_t& start) const;

    int fd_ = -1;
    uint64_t start_ = 0;
    uint64_t end_ = 0;
    Status status_ = Status::CannotOpen;
    std::string problem_;
    std::vector<LzhEntry> entries_;
};

}  // namespace kestrel::lzh

#endif
