// BZip2 (method 12) through libbz2, for WinZip AES entries: libzip decrypts them
// but would check the CRC that AES leaves out.
#pragma once

#include <bzlib.h>

#include <vector>

#include "ZipDecoder.h"

namespace kestrel::zip {

class ZipBzip2Decoder : public ZipDecoder {
public:
    ZipBzip2Decoder();
    ~ZipBzip2Decoder() override;

    Result decode(const uint8_t* data, size_t size, const Emit& emit) override;
    bool complete() const override { return ended_; }

private:
    bz_stream bz_{};
    bool ready_ = false;
    bool ended_ = false;
    std::vector<uint8_t> out_;
};

}  // namespace kestrel::zip
