// Writing an LZH archive: entries copied byte for byte from another archive (with
// their header kept or replaced) and new entries compressed from files. The file
// is written through a temporary name and appears only when finish() succeeds.
#ifndef KESTREL_LZH_ARCHIVE_WRITER_H
#define KESTREL_LZH_ARCHIVE_WRITER_H

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>

#include "AtomicFile.h"
#include "LzhArchive.h"
#include "TargetList.h"

namespace kestrel::lzh {

enum class LzhCompression { Lh5, Lh6, Lh7 };

class LzhArchiveWriter {
public:
    struct AddOptions {
        LzhCompression method = LzhCompression::Lh5;
        bool storeAttributes = false;  // DOS attribute bits and Unix permissions
    };
    enum class AddResult { Ok, ReadError, WriteError, TooLarge, Cancelled };
    // Progress of one file in bytes read; false cancels.
    using Progress = std::function<bool(uint64_t done, uint64_t total)>;

    explicit LzhArchiveWriter(const std::string& path);
    bool open();

    // Told the bytes copied so far by copyEntry and copyEntryAs, all calls together,
    // after every chunk; false cancels the copy (which then fails, cancelled() true).
    using CopyProgress = std::function<bool(uint64_t copied)>;
    void onCopied(CopyProgress progress) { copyProgress_ = std::move(progress); }
    bool cancelled() const { return cancelled_; }

    // The entry's header and data exactly as they are in `source`.
    bool copyEntry(const LzhArchive& source, const LzhEntry& entry);
    // The data of `entry` under a new level-2 header made from `header`.
    bool copyEntryAs(const LzhArchive& source, const LzhEntry& entry, const LzhEntry& header);

    AddResult addFile(const arc::Target& target, const AddOptions& options, const Progress& progress);
    bool addDirectory(const arc::Target& target, const AddOptions& options);

    // Writes the end mark and puts the archive in place.
    bool finish();

    // Of the last entry added: what it became.
    const LzhEntry& lastEntry() const { return last_; }

    // Whether a real compressor is built in (else every file is stored).
    static bool canCompress();

private:
    bool copyBytes(const LzhArchive& source, uint64_t offset, uint64_t length);
    AddResult storeFile(int fd, uint64_t dataStart, LzhEntry& entry, const Progress& progress);
    AddResult compressFile(int fd, uint64_t size, LzhCompression method, LzhEntry& entry,
                           const Progress& progress, bool& notSmaller);
    void describe(const arc::Target& target, const struct ::stat& st, const AddOptions& options,
                  LzhEntry& entry) const;

    arc::AtomicFile out_;
    LzhEntry last_;
    CopyProgress copyProgress_;
    uint64_t copied_ = 0;
    bool cancelled_ = false;
};

}  // namespace kestrel::lzh

#endif
