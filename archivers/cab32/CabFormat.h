// Field values and little helpers of the cabinet format shared by the writer and
// the tests. Every integer in a cabinet is little-endian.
#ifndef KESTREL_CAB_FORMAT_H
#define KESTREL_CAB_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::arc::cab {

constexpr size_t kBlockSize = 32768;          // uncompressed bytes of every block but a folder's last
constexpr size_t kHeaderSize = 36;            // CFHEADER without reserve fields and names
constexpr size_t kFolderEntrySize = 8;        // CFFOLDER without reserve
constexpr size_t kFileEntrySize = 16;         // CFFILE without its name
constexpr size_t kDataHeaderSize = 8;         // CFDATA without its data
constexpr size_t kMaxNameLength = 255;        // bytes of a stored name or set name, NUL excluded
constexpr uint64_t kMaxCabinetSize = 0x7FFFFFFF;
constexpr size_t kMaxFilesPerCabinet = 0xFFFF;  // cFiles is 16 bits
// A folder may hold at most 65535 blocks, and libmspack counts a block split
// between two cabinets twice while joining them: one block is kept in hand.
constexpr uint64_t kMaxFolderSize = 65534ull * kBlockSize;

constexpr uint16_t kFlagPrevCabinet = 0x0001;
constexpr uint16_t kFlagNextCabinet = 0x0002;

constexpr uint16_t kFolderContinuedFromPrev = 0xFFFD;
constexpr uint16_t kFolderContinuedToNext = 0xFFFE;
constexpr uint16_t kFolderContinuedPrevAndNext = 0xFFFF;

constexpr uint16_t kAttrReadOnly = 0x01;
constexpr uint16_t kAttrHidden = 0x02;
constexpr uint16_t kAttrSystem = 0x04;
constexpr uint16_t kAttrArchive = 0x20;
constexpr uint16_t kAttrExecute = 0x40;
constexpr uint16_t kAttrNameIsUtf8 = 0x80;

constexpr uint16_t kCompressNone = 0x0000;
constexpr uint16_t kCompressMsZip = 0x0001;
constexpr uint16_t kCompressQuantum = 0x0002;
constexpr uint16_t kCompressLzx = 0x0003;

inline void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void setU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void setU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The CFDATA checksum: words XORed little-endian, a 1-3 byte tail combined
// big-endian, seeded with the sum of the data, finished over cbData and cbUncomp.
uint32_t checksum(const uint8_t* data, size_t size, uint32_t seed);
uint32_t dataBlockChecksum(const uint8_t* data, uint16_t compressedSize, uint16_t uncompressedSize);

// The method text shown in listings: "None", "MSZIP", "Quantum", "LZX:21".
std::string methodText(uint16_t typeCompress);

}  // namespace kestrel::arc::cab

#endif
