// LZMA (method 14) and XZ (method 95) through liblzma.
//
// A ZIP LZMA entry is a four-byte header (version, size of the properties), five
// bytes of properties, then the raw stream, with or without an end marker. It is
// decoded as the .lzma format liblzma knows, whose header is the same properties
// followed by the uncompressed size: given the declared size, the stream ends there
// whether a marker follows or not.
#pragma once

#include <lzma.h>

#include <vector>

#include "ZipDecoder.h"

namespace kestrel::zip {

class ZipLzmaDecoder : public ZipDecoder {
public:
    enum class Format { ZipLzma, Xz };

    ZipLzmaDecoder(Format format, uint64_t size);
    ~ZipLzmaDecoder() override;

    Result decode(const uint8_t* data, size_t size, const Emit& emit) override;
    bool complete() const override { return ended_; }

private:
    // Collects the ZIP LZMA header; once whole, starts liblzma on the .lzma
    // header made from it. Returns how much of `data` it took.
    size_t takeHeader(const uint8_t* data, size_t size, Result& result);
    Result run(const uint8_t* data, size_t size, const Emit& emit);

    Format format_;
    uint64_t size_;
    lzma_stream lzma_ = LZMA_STREAM_INIT;
    bool ready_ = false;
    bool ended_ = false;
    std::vector<uint8_t> header_;
    std::vector<uint8_t> out_;
};

}  // namespace kestrel::zip
