// Deflate (method 8) through zlib, for the entries libzip hands over still compressed.
#pragma once

#include <zlib.h>

#include <vector>

#include "ZipDecoder.h"

namespace kestrel::zip {

class ZipInflateDecoder : public ZipDecoder {
public:
    ZipInflateDecoder();
    ~ZipInflateDecoder() override;

    Result decode(const uint8_t* data, size_t size, const Emit& emit) override;
    bool complete() const override { return ended_; }

private:
    z_stream z_{};
    bool ready_ = false;
    bool ended_ = false;
    std::vector<uint8_t> out_;
};

}  // namespace kestrel::zip
