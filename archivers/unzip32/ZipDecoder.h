// Decoding one entry's compressed data where libzip cannot: the methods this
// system's libzip lacks (LZMA, XZ, Zstandard) and the data of WinZip AES entries,
// which libzip decrypts but, without a CRC to check, must not decompress itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kestrel::zip {

class ZipDecoder {
public:
    enum class Result {
        More,     // wants more compressed data
        End,      // the stream ended; anything after it is not data
        Failed,   // the data is damaged (see error())
        Stopped,  // the receiver asked to stop
    };
    // Receives decoded bytes in order; returns false to stop.
    using Emit = std::function<bool(const uint8_t* data, size_t size)>;

    virtual ~ZipDecoder() = default;

    // Decodes the next piece of compressed data, all of it, handing the output on.
    virtual Result decode(const uint8_t* data, size_t size, const Emit& emit) = 0;
    // After the last piece: whether the stream ended where it should.
    virtual bool complete() const = 0;
    const std::string& error() const { return error_; }

    // Whether `method` (a ZIP method number) has a decoder here.
    static bool decodes(uint16_t method);
    // The decoder for `method`; `size` is the declared uncompressed size, which an
    // LZMA stream without an end marker needs to know where it stops.
    static std::unique_ptr<ZipDecoder> create(uint16_t method, uint64_t size);

protected:
    Result failed(const char* why) {
        error_ = why;
        return Result::Failed;
    }

    static constexpr size_t kOutputChunk = 64 * 1024;

private:
    std::string error_;
};

}  // namespace kestrel::zip
