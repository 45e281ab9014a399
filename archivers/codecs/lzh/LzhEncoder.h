// Streaming encoder for the -lh5-, -lh6- and -lh7- methods of LZH archives.
//
// The encoder turns the bytes of one archive entry into its compressed data
// (LZSS over a sliding window, coded in static Huffman blocks). Memory use is
// constant whatever the input size (about 1.5 MiB), and inputs beyond 4 GiB are
// fine: the encoder only ever keeps the window and one block of pending codes.
// The output depends only on the input bytes, never on how they are chunked.
//
// The encoder never chooses the stored method itself: the archive writer
// compares bytesOut() with bytesIn() after finish() and stores the entry as
// -lh0- when compression did not make it smaller; incompressibleSoFar() lets
// it give up early on data that will not shrink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace kestrel::lzh {

enum class LzhMethod {
    Lh5,  // 8 KiB dictionary
    Lh6,  // 32 KiB dictionary
    Lh7,  // 64 KiB dictionary
};

// How hard the encoder looks for the shortest output.
enum class LzhEffort {
    Normal,  // lazy matching: quick, output a little smaller than other LZH writers make
    Best,    // cost-based parsing over deeper searches: 2-4 % smaller, about a quarter the speed
};

// The five-character method id stored in the entry header, e.g. "-lh5-".
const char* methodId(LzhMethod method);

class LzhEncoder {
public:
    // Receives compressed bytes in order. Returning false aborts encoding:
    // write() and finish() then return false and produce nothing more.
    using Sink = std::function<bool(const uint8_t*, size_t)>;

    LzhEncoder(LzhMethod method, Sink sink, LzhEffort effort = LzhEffort::Normal);
    ~LzhEncoder();
    LzhEncoder(const LzhEncoder&) = delete;
    LzhEncoder& operator=(const LzhEncoder&) = delete;

    // Feeds the next input bytes; any chunking gives the same output.
    // Returns false once the sink has refused data or after finish().
    bool write(const uint8_t* data, size_t size);

    // Encodes what is left, pads the last byte with zero bits and hands every
    // remaining byte to the sink. An empty input gives an empty stream.
    bool finish();

    uint64_t bytesIn() const;   // bytes accepted by write()
    uint64_t bytesOut() const;  // compressed bytes handed to the sink so far

    // True once the first MiB or more has been coded into blocks and came out
    // at 99.5 % of its size or more. Such an entry (packed or encrypted data,
    // media) will almost surely be stored, so the caller can stop feeding it
    // and store it at once instead of compressing the whole file in vain.
    bool incompressibleSoFar() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel::lzh
