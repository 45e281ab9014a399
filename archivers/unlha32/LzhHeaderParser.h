// Reading one LZH entry header (levels 0 to 3) with every length bounded: a
// hostile header can make the parser fail, never read past the archive or loop.
#ifndef KESTREL_LZH_HEADER_PARSER_H
#define KESTREL_LZH_HEADER_PARSER_H

#include <cstdint>
#include <functional>
#include <string>

#include "LzhEntry.h"

namespace kestrel::lzh {

class LzhHeaderParser {
public:
    // Reads exactly `size` bytes at `offset` of the archive file; false past its end.
    using ReadAt = std::function<bool(uint64_t offset, uint8_t* buffer, size_t size)>;

    // Truncated: the header is whole but its data runs past `end` (a cut-off
    // archive); the entry is filled so that it can still be listed.
    enum class Outcome { Entry, Truncated, End, Bad };

    // Longer level-3 headers are refused without being read.
    static constexpr size_t MaxLevel3Header = 1 << 20;

    // Parses the header at `offset`; `end` is where the archive data stops. On Bad
    // and Truncated, `problem` says why.
    static Outcome parse(const ReadAt& read, uint64_t offset, uint64_t end, LzhEntry& entry,
                         std::string& problem);

    // Whether the bytes at `header` (at least 22) look like the start of a header:
    // a known method id and level. Used to find an archive behind a program stub.
    static bool looksLikeHeader(const uint8_t* header);

    // Fills name, isDirectory, isSymlink and linkTarget from storedPath and method.
    static void decodeName(LzhEntry& entry);
};

}  // namespace kestrel::lzh

#endif
