#include "CabinetWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "ArchiverApi.h"
#include "AtomicFile.h"
#include "CabFormat.h"
#include "SpillFile.h"

namespace kestrel::arc::cab {

// Thrown inside a write to unwind to write(), which turns it into a result.
class CabinetWriter::Failure {
public:
    Failure(int code, std::string message) : code(code), message(std::move(message)) {}
    int code;
    std::string message;
};

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads exactly `size` bytes; false at an early end or an error.
bool readFully(int fd, uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::read(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

class FileReader {
public:
    explicit FileReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileReader() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

uint16_t setIdFor(const std::string& path) {
    // Any value serves as long as all cabinets of a set share it; derive it from
    // the name so that the same command writes the same bytes.
    uint32_t h = 2166136261u;
    for (unsigned char c : path) h = (h ^ c) * 16777619u;
    return static_cast<uint16_t>(h ^ (h >> 16));
}

}  // namespace

CabinetWriter::CabinetWriter(std::string archivePath, CabWriteOptions options)
    : archivePath_(std::move(archivePath)), options_(options) {}

CabinetWriter::~CabinetWriter() = default;

std::string CabinetWriter::volumePath(const std::string& archivePath, size_t index) {
    std::string folder;
    std::string name = archivePath;
    size_t slash = archivePath.rfind('/');
    if (slash != std::string::npos) {
        folder = archivePath.substr(0, slash + 1);
        name = archivePath.substr(slash + 1);
    }
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return folder + name + std::to_string(index + 1) + ".cab";
}

std::string CabinetWriter::volumeFileName(size_t index) const {
    return isSet() ? baseName(volumePath(archivePath_, index)) : baseName(archivePath_);
}

int CabinetWriter::write(std::vector<CabInput> inputs, const Progress& progress, std::string& message) {
    inputs_ = std::move(inputs);
    written_.clear();
    if (inputs_.empty()) {
        message = "格納するファイルがありません";
        return KA_ERR_NO_MATCH;
    }
    if (!isSet() && inputs_.size() > kMaxFilesPerCabinet) {
        message = "ファイルが多すぎて一つの CAB 書庫に入りません (65535 個まで)";
        return KA_ERR_UNSUPPORTED;
    }
    if (isSet() && options_.volumeLimit < kMinimumVolume) {
        message = "分割サイズが小さすぎます";
        return KA_ERR_USAGE;
    }
    totalBytes_ = 0;
    for (const CabInput& in : inputs_) totalBytes_ += in.record.size;
    setId_ = setIdFor(archivePath_);
    try {
        spill_ = std::make_unique<SpillFile>();
        if (!spill_->open(folderOf(archivePath_)))
            throw Failure(KA_ERR_WRITE, "書き込めません: " + archivePath_ + ": " + std::strerror(errno));
        run(progress);
    } catch (const Failure& failure) {
        outputs_.clear();  // removes every temporary cabinet
        message = failure.message;
        return failure.code;
    } catch (const std::bad_alloc&) {
        outputs_.clear();
        message = "メモリが足りません";
        return KA_ERR_MEMORY;
    } catch (const std::exception& e) {
        outputs_.clear();
        message = std::string("圧縮に失敗しました: ") + e.what();
        return KA_ERR_WRITE;
    }
    for (auto& out : outputs_) {
        if (!out->commit()) {
            message = "書き込めません: " + out->finalPath() + ": " + std::strerror(errno);
            outputs_.clear();
            return KA_ERR_WRITE;
        }
        written_.push_back(out->finalPath());
    }
    outputs_.clear();
    return KA_OK;
}

void CabinetWriter::run(const Progress& progress) {
    openVolume();
    while (nextInput_ < inputs_.size()) {
        size_t index = nextInput_++;
        addFile(index, progress);
    }
    finishFolder();
    closeVolume(false);
}

void CabinetWriter::addFile(size_t index, const Progress& progress) {
    CabInput& input = inputs_[index];
    const uint64_t size = input.record.size;
    // A folder split across cabinets must end with the last file of the split
    // block: readers join the two halves and ignore any other file in the second.
    bool mustClose = closeAfter_ && index > *closeAfter_;
    if (compressor_ && (mustClose || folderPos_ + size > kMaxFolderSize)) finishFolder();
    if (!compressor_) compressor_ = BlockCompressor::create(options_.method, options_.lzxWindowBits);

    input.record.folderOffset = static_cast<uint32_t>(folderPos_);
    folderFiles_.push_back(index);
    if (size == 0) return;

    FileReader reader(input.diskPath);
    if (reader.fd() < 0)
        throw Failure(KA_ERR_OPEN, "開けません: " + input.diskPath + ": " + std::strerror(errno));
    uint64_t left = size;
    while (left > 0) {
        size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, kBlockSize - block_.size()));
        size_t have = block_.size();
        block_.resize(have + chunk);
        if (!readFully(reader.fd(), block_.data() + have, chunk))
            throw Failure(KA_ERR_OPEN, "読み込めません (途中で変わりましたか): " + input.diskPath);
        left -= chunk;
        folderPos_ += chunk;
        doneBytes_ += chunk;
        // Full blocks go out at once, so that a split decided on this block is
        // known before the next file joins the folder.
        if (block_.size() == kBlockSize) emitBlock(doneBytes_ == totalBytes_);
        if (progress && !progress(input.record.name, doneBytes_, totalBytes_))
            throw Failure(KA_ERR_CANCELLED, "中止しました");
    }
}

void CabinetWriter::finishFolder() {
    if (!compressor_) return;
    if (!block_.empty()) emitBlock(true);
    // Files not listed yet hold no data here: empty files at the folder's end, or
    // a folder of empty files only. When the folder came into this cabinet from
    // the previous one, readers drop every file of it that is not a continued
    // one, so these go into a folder of their own (a folder without blocks).
    if (nextToList_ < folderFiles_.size()) {
        bool ownFolder = !folderInVolume_ || folderContinuedHere_;
        size_t growth = pendingListingBytes(UINT64_MAX) + (ownFolder ? kFolderEntrySize : 0);
        if (isSet() && volume_->headerSize() + growth + spill_->size() > options_.volumeLimit) {
            if (!ownFolder || volume_->fileCount() == 0) throw Failure(KA_ERR_USAGE, "分割サイズが小さすぎます");
            closeVolume(true);
            openVolume();
        }
        if (ownFolder) {
            volume_->addFolder(compressor_->typeCompress(), spill_->size());
            for (size_t k = nextToList_; k < folderFiles_.size(); ++k) inputs_[folderFiles_[k]].record.folderOffset = 0;
            folderInVolume_ = true;
        }
        listFilesBefore(UINT64_MAX);
    }
    compressor_.reset();
    folderFiles_.clear();
    nextToList_ = 0;
    folderInVolume_ = false;
    folderContinuedHere_ = false;
    folderPos_ = 0;
    blockStart_ = 0;
    closeAfter_.reset();
}

void CabinetWriter::emitBlock(bool last) {
    std::vector<uint8_t> record = compressor_->compress(block_.data(), block_.size(), last);
    uint64_t from = blockStart_;
    uint64_t to = blockStart_ + block_.size();
    place(record, static_cast<uint16_t>(block_.size()), from, to);
    blockStart_ = to;
    block_.clear();
}

void CabinetWriter::place(const std::vector<uint8_t>& record, uint16_t uncompressed, uint64_t from,
                          uint64_t to) {
    size_t done = 0;
    for (;;) {
        const bool fresh = !folderInVolume_;
        const size_t remaining = record.size() - done;
        size_t take = remaining;
        if (isSet()) {
            uint64_t used = volume_->headerSize() + pendingListingBytes(to) +
                            (fresh ? kFolderEntrySize : 0) + spill_->size();
            uint64_t space = options_.volumeLimit > used ? options_.volumeLimit - used : 0;
            // After a whole block there must be room for at least a piece of the
            // next one and for listing its files: a folder may only go on into the
            // next cabinet inside a block, never between two blocks.
            uint64_t reserve = kDataHeaderSize + 1 + lookaheadListingBytes(to);
            if (kDataHeaderSize + remaining + reserve > space) {
                uint64_t room = space > kDataHeaderSize ? space - kDataHeaderSize : 0;
                take = static_cast<size_t>(std::min<uint64_t>(room, remaining - 1));
                if (take == 0) {
                    if (fresh && done == 0 && volume_->fileCount() > 0) {
                        // A new folder may simply begin in the next cabinet.
                        closeVolume(true);
                        openVolume();
                        continue;
                    }
                    throw Failure(KA_ERR_USAGE, "分割サイズが小さすぎます");
                }
            }
        }
        if (fresh) {
            volume_->addFolder(compressor_->typeCompress(), spill_->size());
            folderInVolume_ = true;
        }
        listFilesBefore(to);
        if (take == remaining) {
            writeRecord(record.data() + done, take, uncompressed);
            return;
        }
        // Split the block: this piece ends the cabinet, the rest opens the next.
        writeRecord(record.data() + done, take, 0);
        done += take;
        size_t first = 0;
        size_t count = overlapCount(from, to, &first);
        volume_->markLastFilesContinued(count);
        if (!closeAfter_) closeAfter_ = folderFiles_[first + count - 1];
        closeVolume(true);
        openVolume();
        volume_->addFolder(compressor_->typeCompress(), spill_->size());
        folderInVolume_ = true;
        folderContinuedHere_ = true;
        for (size_t k = first; k < first + count; ++k) volume_->addFile(&inputs_[folderFiles_[k]].record, true);
        nextToList_ = first + count;
    }
}

size_t CabinetWriter::overlapCount(uint64_t from, uint64_t to, size_t* first) const {
    size_t count = 0;
    bool found = false;
    for (size_t k = 0; k < folderFiles_.size(); ++k) {
        const CabFileRecord& r = inputs_[folderFiles_[k]].record;
        uint64_t start = r.folderOffset;
        uint64_t end = start + r.size;
        bool overlaps = r.size > 0 ? (start < to && end > from) : (start >= from && start < to);
        if (overlaps) {
            if (!found) *first = k;
            found = true;
            ++count;
        } else if (found) {
            break;
        }
    }
    return count;
}

size_t CabinetWriter::pendingListingBytes(uint64_t end) const {
    size_t bytes = 0;
    for (size_t k = nextToList_; k < folderFiles_.size(); ++k) {
        const CabFileRecord& r = inputs_[folderFiles_[k]].record;
        if (r.folderOffset >= end) break;
        bytes += CabVolume::fileEntrySize(r);
    }
    return bytes;
}

size_t CabinetWriter::lookaheadListingBytes(uint64_t from) const {
    // An over-estimate is harmless (a block is split a little early), so count
    // every file that could touch the next block, assigned to the folder or not.
    const uint64_t end = from + kBlockSize;
    size_t bytes = 0;
    uint64_t pos = 0;
    for (size_t k = nextToList_; k < folderFiles_.size(); ++k) {
        const CabFileRecord& r = inputs_[folderFiles_[k]].record;
        pos = uint64_t(r.folderOffset) + r.size;
        if (r.folderOffset < from) continue;  // listed together with the block just placed
        if (r.folderOffset >= end) return bytes;
        bytes += CabVolume::fileEntrySize(r);
    }
    if (!folderFiles_.empty()) {
        const CabFileRecord& r = inputs_[folderFiles_.back()].record;
        pos = uint64_t(r.folderOffset) + r.size;
    }
    for (size_t i = nextInput_; i < inputs_.size() && pos < end; ++i) {
        bytes += CabVolume::fileEntrySize(inputs_[i].record);
        pos += inputs_[i].record.size;
    }
    return bytes;
}

void CabinetWriter::listFilesBefore(uint64_t end) {
    while (nextToList_ < folderFiles_.size()) {
        const CabFileRecord& r = inputs_[folderFiles_[nextToList_]].record;
        if (r.folderOffset >= end) break;
        volume_->addFile(&r, false);
        ++nextToList_;
    }
}

void CabinetWriter::writeRecord(const uint8_t* data, size_t size, uint16_t uncompressed) {
    uint8_t header[kDataHeaderSize];
    setU32(header, dataBlockChecksum(data, static_cast<uint16_t>(size), uncompressed));
    setU16(header + 4, static_cast<uint16_t>(size));
    setU16(header + 6, uncompressed);
    if (!spill_->write(header, sizeof header) || !spill_->write(data, size))
        throw Failure(KA_ERR_WRITE, "書き込めません: " + archivePath_ + ": " + std::strerror(errno));
    // Stop as soon as a lone cabinet outgrows what its header fields can hold.
    if (spill_->size() > kMaxCabinetSize) throw Failure(KA_ERR_UNSUPPORTED, "書庫が 2GB を超えます");
    volume_->addBlockToLastFolder();
}

void CabinetWriter::openVolume() {
    size_t index = outputs_.size();
    if (index >= 0xFFFF) throw Failure(KA_ERR_USAGE, "分割数が多すぎます");
    std::string prev = index > 0 ? volumeFileName(index - 1) : std::string();
    size_t nextReserve = isSet() ? volumeFileName(index + 1).size() : 0;
    if (nextReserve > kMaxNameLength || volumeFileName(index).size() > kMaxNameLength)
        throw Failure(KA_ERR_USAGE, "書庫の名前が長すぎます");
    volume_ = std::make_unique<CabVolume>(prev, nextReserve);
    folderInVolume_ = false;
    folderContinuedHere_ = false;
}

void CabinetWriter::closeVolume(bool hasNext) {
    size_t index = outputs_.size();
    std::string next = hasNext ? volumeFileName(index + 1) : std::string();
    std::vector<uint8_t> header = volume_->buildHeader(spill_->size(), setId_, static_cast<uint16_t>(index), next);
    if (volume_->fileCount() > kMaxFilesPerCabinet)
        throw Failure(KA_ERR_UNSUPPORTED, "ファイルが多すぎて一つの CAB 書庫に入りません (65535 個まで)");
    uint64_t total = header.size() + spill_->size();
    if (total > kMaxCabinetSize) throw Failure(KA_ERR_UNSUPPORTED, "書庫が 2GB を超えます");
    if (isSet() && total > options_.volumeLimit)
        throw std::logic_error("cabinet larger than the volume size");
    std::string path = isSet() ? volumePath(archivePath_, index) : archivePath_;
    auto out = std::make_unique<AtomicFile>(path);
    if (!out->open() || !out->write(header.data(), header.size()) || !spill_->moveTo(*out))
        throw Failure(KA_ERR_WRITE, "書き込めません: " + path + ": " + std::strerror(errno));
    outputs_.push_back(std::move(out));
}

}  // namespace kestrel::arc::cab
