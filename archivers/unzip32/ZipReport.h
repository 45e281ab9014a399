// The per-entry report of one command, passed to the caller's output buffer in
// batches: the buffer republishes everything written so far on each call, which
// for an archive of a hundred thousand entries (and a buffer as large as the
// archive) made the report itself cost tens of seconds.
#pragma once

#include <string>
#include <string_view>

#include "OutputBuffer.h"

namespace kestrel::zip {

class ZipReport {
public:
    explicit ZipReport(arc::OutputBuffer& out) : out_(out) {}
    ~ZipReport() { flush(); }
    ZipReport(const ZipReport&) = delete;
    ZipReport& operator=(const ZipReport&) = delete;

    void line(std::string_view text);
    // Hands everything pending to the output buffer.
    void flush();

private:
    static constexpr int kBatch = 256;

    arc::OutputBuffer& out_;
    std::string pending_;
    int lines_ = 0;
};

}  // namespace kestrel::zip
