// Finding an LZH archive behind a program stub (a self-extracting program made by
// another archiver), wherever in the file it starts.
#ifndef KESTREL_LZH_STUB_SEARCH_H
#define KESTREL_LZH_STUB_SEARCH_H

#include <cstdint>

#include "LzhHeaderParser.h"

namespace kestrel::lzh {

class LzhStubSearch {
public:
    // The offset of the first whole header in [from, end) whose checksum or CRC
    // holds. The file is read once, front to back; a candidate is parsed only after
    // cheap checks in memory, and the bytes all candidates may make the parser read
    // are capped, so a file full of decoys costs time in proportion to its size.
    static bool find(const LzhHeaderParser::ReadAt& read, uint64_t from, uint64_t end, uint64_t& start);

    // Whether the header at `h` (with `avail` bytes in memory, at least 22) is worth
    // parsing: a method id, a level, and for levels 0 and 1 a checksum that holds;
    // level 2 and 3 must carry the header CRC extension first. `claimed` is how
    // many bytes the header says it spans.
    static bool plausible(const uint8_t* h, size_t avail, uint64_t& claimed);
};

}  // namespace kestrel::lzh

#endif
