// Decoding one entry's data through liblhasa and checking its CRC-16.
#ifndef KESTREL_LZH_ENTRY_DECODER_H
#define KESTREL_LZH_ENTRY_DECODER_H

#include <cstdint>
#include <functional>

#include "LzhArchive.h"

namespace kestrel::lzh {

class LzhEntryDecoder {
public:
    enum class Result {
        Ok,
        Damaged,      // CRC mismatch, or the data ended before the original size
        Unsupported,  // a method liblhasa does not know
        SinkFailed,   // the sink refused the data (a write failed or was cancelled)
    };

    // Receives the decoded bytes in order; false stops decoding.
    using Sink = std::function<bool(const uint8_t*, size_t)>;

    static Result decode(const LzhArchive& archive, const LzhEntry& entry, const Sink& sink);
    static bool isSupported(const std::string& method);
};

}  // namespace kestrel::lzh

#endif
