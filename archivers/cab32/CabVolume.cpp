#include "CabVolume.h"

#include "CabFormat.h"

namespace kestrel::arc::cab {

namespace {

// A neighbour is named twice, as a cabinet file and as a disk label; some readers
// refuse an empty label, so the label repeats the file name. Both end in NUL.
size_t setNamesSize(size_t nameLength) { return 2 * (nameLength + 1); }

}  // namespace

CabVolume::CabVolume(std::string prevName, size_t nextNameReserve)
    : prevName_(std::move(prevName)), nextNameReserve_(nextNameReserve) {}

void CabVolume::addFolder(uint16_t typeCompress, uint64_t dataOffset) {
    folders_.push_back(Folder{typeCompress, dataOffset});
}

void CabVolume::addFile(const CabFileRecord* file, bool fromPrev) {
    files_.push_back(Entry{file, folders_.size() - 1, fromPrev, false});
    fileBytes_ += fileEntrySize(*file);
}

void CabVolume::markLastFilesContinued(size_t count) {
    for (size_t i = files_.size() - count; i < files_.size(); ++i) files_[i].toNext = true;
}

size_t CabVolume::headerSize() const {
    size_t size = kHeaderSize + folders_.size() * kFolderEntrySize + fileBytes_;
    if (!prevName_.empty()) size += setNamesSize(prevName_.size());
    if (nextNameReserve_ > 0) size += setNamesSize(nextNameReserve_);
    return size;
}

uint16_t CabVolume::folderCode(const Entry& entry) const {
    // Continued files name their folder implicitly: the first folder for files
    // from the previous cabinet, the last for files going on into the next.
    if (entry.fromPrev && entry.toNext) return kFolderContinuedPrevAndNext;
    if (entry.fromPrev) return kFolderContinuedFromPrev;
    if (entry.toNext) return kFolderContinuedToNext;
    return static_cast<uint16_t>(entry.folder);
}

std::vector<uint8_t> CabVolume::buildHeader(uint64_t dataSize, uint16_t setId, uint16_t index,
                                            const std::string& nextName) const {
    size_t headerBytes = kHeaderSize + folders_.size() * kFolderEntrySize + fileBytes_;
    if (!prevName_.empty()) headerBytes += setNamesSize(prevName_.size());
    if (!nextName.empty()) headerBytes += setNamesSize(nextName.size());
    size_t filesOffset = headerBytes - fileBytes_;

    std::vector<uint8_t> out;
    out.reserve(headerBytes);
    putU32(out, 0x4643534D);  // "MSCF"
    putU32(out, 0);
    putU32(out, static_cast<uint32_t>(headerBytes + dataSize));
    putU32(out, 0);
    putU32(out, static_cast<uint32_t>(filesOffset));
    putU32(out, 0);
    out.push_back(3);  // version 1.3
    out.push_back(1);
    putU16(out, static_cast<uint16_t>(folders_.size()));
    putU16(out, static_cast<uint16_t>(files_.size()));
    uint16_t flags = 0;
    if (!prevName_.empty()) flags |= kFlagPrevCabinet;
    if (!nextName.empty()) flags |= kFlagNextCabinet;
    putU16(out, flags);
    putU16(out, setId);
    putU16(out, index);
    auto putNames = [&out](const std::string& name) {
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
    };
    if (!prevName_.empty()) putNames(prevName_);
    if (!nextName.empty()) putNames(nextName);
    for (const Folder& folder : folders_) {
        putU32(out, static_cast<uint32_t>(headerBytes + folder.dataOffset));
        putU16(out, static_cast<uint16_t>(folder.blocks));
        putU16(out, folder.typeCompress);
    }
    for (const Entry& entry : files_) {
        const CabFileRecord& file = *entry.file;
        putU32(out, file.size);
        putU32(out, file.folderOffset);
        putU16(out, folderCode(entry));
        putU16(out, file.date);
        putU16(out, file.time);
        putU16(out, file.attributes);
        out.insert(out.end(), file.name.begin(), file.name.end());
        out.push_back(0);
    }
    return out;
}

}  // namespace kestrel::arc::cab
