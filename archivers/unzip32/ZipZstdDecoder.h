// Zstandard (method 93, and 20 from early writers) through libzstd. A writer may
// cut the data into several frames; the entry is whole when its data ends at the
// end of a frame.
#pragma once

#include <zstd.h>

#include <vector>

#include "ZipDecoder.h"

namespace kestrel::zip {

class ZipZstdDecoder : public ZipDecoder {
public:
    ZipZstdDecoder();
    ~ZipZstdDecoder() override;

    Result decode(const uint8_t* data, size_t size, const Emit& emit) override;
    bool complete() const override { return frameEnded_; }

private:
    ZSTD_DStream* stream_ = nullptr;
    bool frameEnded_ = false;
    std::vector<uint8_t> out_;
};

}  // namespace kestrel::zip
