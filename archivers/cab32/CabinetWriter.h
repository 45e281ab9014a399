// Writes a cabinet, or a set of cabinets of at most a given size, from files on
// disk. Data is streamed: a file is read block by block and each compressed block
// goes straight to a scratch file on the target disk, so memory stays small. The
// cabinets are written under temporary names and renamed into place only when
// all of them are complete; a failure leaves nothing behind.
#ifndef KESTREL_CAB_CABINET_WRITER_H
#define KESTREL_CAB_CABINET_WRITER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BlockCompressor.h"
#include "CabVolume.h"

namespace kestrel::arc {
class AtomicFile;
}

namespace kestrel::arc::cab {

class SpillFile;

struct CabInput {
    std::string diskPath;
    CabFileRecord record;  // record.folderOffset is filled in by the writer
};

struct CabWriteOptions {
    CabMethod method = CabMethod::MsZip;
    int lzxWindowBits = 21;
    uint64_t volumeLimit = 0;  // bytes per cabinet; 0 = one cabinet of any size
};

class CabinetWriter {
public:
    // Progress: file name, bytes done and total; return false to cancel.
    using Progress = std::function<bool(const std::string&, uint64_t, uint64_t)>;

    CabinetWriter(std::string archivePath, CabWriteOptions options);
    ~CabinetWriter();

    // Writes all inputs. Returns a KestrelResult; `message` says what went wrong.
    int write(std::vector<CabInput> inputs, const Progress& progress, std::string& message);

    // The paths written by the last successful write(), in set order.
    const std::vector<std::string>& writtenPaths() const { return written_; }

    // The name of cabinet `index` (0-based) of a set made from `archivePath`:
    // "dir/disk.cab" gives "dir/disk1.cab", "dir/disk2.cab", ...
    static std::string volumePath(const std::string& archivePath, size_t index);

    static constexpr uint64_t kMinimumVolume = 1024;

private:
    class Failure;

    void run(const Progress& progress);
    void addFile(size_t index, const Progress& progress);
    void startFolder();
    void finishFolder();
    void emitBlock(bool last);
    void place(const std::vector<uint8_t>& record, uint16_t uncompressed, uint64_t from, uint64_t to);
    void listFilesBefore(uint64_t end);
    size_t pendingListingBytes(uint64_t end) const;
    size_t lookaheadListingBytes(uint64_t from) const;
    size_t overlapCount(uint64_t from, uint64_t to, size_t* first) const;
    void writeRecord(const uint8_t* data, size_t size, uint16_t uncompressed);
    void openVolume();
    void closeVolume(bool hasNext);
    bool isSet() const { return options_.volumeLimit > 0; }
    std::string volumeFileName(size_t index) const;

    std::string archivePath_;
    CabWriteOptions options_;
    std::vector<CabInput> inputs_;
    uint16_t setId_ = 0;
    uint64_t totalBytes_ = 0;
    uint64_t doneBytes_ = 0;

    std::unique_ptr<SpillFile> spill_;
    std::vector<std::unique_ptr<AtomicFile>> outputs_;
    std::unique_ptr<CabVolume> volume_;
    std::vector<std::string> written_;

    // The folder being compressed.
    std::unique_ptr<BlockCompressor> compressor_;
    std::vector<size_t> folderFiles_;   // input indices, in folder order
    size_t nextToList_ = 0;             // first of folderFiles_ not yet listed in this cabinet
    bool folderInVolume_ = false;
    bool folderContinuedHere_ = false;  // the folder came into this cabinet from the last
    uint64_t folderPos_ = 0;            // bytes fed to the folder
    uint64_t blockStart_ = 0;           // folder offset of block_[0]
    std::vector<uint8_t> block_;
    std::optional<size_t> closeAfter_;  // input index after which the folder must end
    size_t nextInput_ = 0;              // first input not yet given to a folder
};

}  // namespace kestrel::arc::cab

#endif
