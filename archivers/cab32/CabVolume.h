// The header side of one cabinet being written: its folders, the files it lists
// and their continuation marks, and the CFHEADER / CFFOLDER / CFFILE bytes that go
// in front of its data blocks once it is complete.
#ifndef KESTREL_CAB_VOLUME_H
#define KESTREL_CAB_VOLUME_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::arc::cab {

// What the header needs of one file; `name` holds the stored bytes ('\' separated).
struct CabFileRecord {
    std::string name;
    uint32_t size = 0;
    uint32_t folderOffset = 0;
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attributes = 0;
};

class CabVolume {
public:
    // `prevName` is the bare file name of the previous cabinet, empty for the first.
    // `nextNameReserve` is the length of the next cabinet's name, counted in the
    // header size until the volume is known to be the last (0 for a lone cabinet).
    CabVolume(std::string prevName, size_t nextNameReserve);

    void addFolder(uint16_t typeCompress, uint64_t dataOffset);
    void addBlockToLastFolder() { ++folders_.back().blocks; }
    // Lists a file in the last folder; `fromPrev` for a file continued from the
    // previous cabinet.
    void addFile(const CabFileRecord* file, bool fromPrev);
    // Marks the last `count` files as continued in the next cabinet.
    void markLastFilesContinued(size_t count);

    bool hasFolders() const { return !folders_.empty(); }
    size_t fileCount() const { return files_.size(); }
    // Header bytes as currently planned (with the next name while it may come).
    size_t headerSize() const;
    static size_t fileEntrySize(const CabFileRecord& file) { return 16 + file.name.size() + 1; }

    // The complete header. `nextName` empty makes this the last cabinet of its set.
    std::vector<uint8_t> buildHeader(uint64_t dataSize, uint16_t setId, uint16_t index,
                                     const std::string& nextName) const;

private:
    struct Folder {
        uint16_t typeCompress;
        uint64_t dataOffset;
        uint32_t blocks = 0;
    };
    struct Entry {
        const CabFileRecord* file;
        size_t folder;
        bool fromPrev;
        bool toNext;
    };

    uint16_t folderCode(const Entry& entry) const;

    std::string prevName_;
    size_t nextNameReserve_;
    std::vector<Folder> folders_;
    std::vector<Entry> files_;
    size_t fileBytes_ = 0;
};

}  // namespace kestrel::arc::cab

#endif
