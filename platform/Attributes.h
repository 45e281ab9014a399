#pragma once

#include <QString>

#include <cstdint>

struct stat;

// File attributes in the bit values the program has always used, with their
// Linux meanings:
//   R  the user may not write the entry
//   H  the name starts with "."
//   S  a special file: device, socket or FIFO
//   C  the file system's compressed flag (chattr +c) where there is one
// A and T have no Linux meaning and are never set.
namespace Attributes {
constexpr std::uint32_t ReadOnly = 0x1;
constexpr std::uint32_t Hidden = 0x2;
constexpr std::uint32_t System = 0x4;
constexpr std::uint32_t Directory = 0x10;
constexpr std::uint32_t Archive = 0x20;
constexpr std::uint32_t Temporary = 0x100;
constexpr std::uint32_t Compressed = 0x800;

// The letters of the set bits in the fixed order R H S A T C ("RHA"); the
// directory bit has no letter.
QString letters(std::uint32_t attributes);

// Who the running user is, for the write test; taken once per listing.
struct Identity {
    unsigned uid = 0;
    unsigned gid = 0;
    unsigned supplementary[64] = {};
    int supplementaryCount = 0;
    static Identity current();
    bool inGroup(unsigned gid) const;
};

// The bits of an entry from its name and stat data, without further system
// calls. `readOnlyVolume` marks everything read-only. The compressed flag is
// not included: see compressedFlag().
std::uint32_t fromStat(const char* name, const struct stat& st, const Identity& who,
                       bool readOnlyVolume);

// Whether a volume's file system keeps a compressed flag worth asking for
// (asking costs an open per file, so listings skip it elsewhere).
bool volumeHasCompression(int dirFd);
// The compressed flag of the entry `name` in the open folder `dirFd`, read
// with FS_IOC_GETFLAGS. Only regular files and folders are opened.
bool compressedFlag(int dirFd, const char* name, const struct stat& st);

// All bits of one path (one-off callers: rename warnings, tests).
std::uint32_t ofPath(const QString& path, bool* exists = nullptr);
}  // namespace Attributes
