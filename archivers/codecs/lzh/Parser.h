// Turns input bytes into literals and matches for a BlockEncoder.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::lzh {

class Parser {
public:
    virtual ~Parser() = default;
    // Parses as far as the lookahead allows; the rest waits for more input.
    virtual void feed(const uint8_t* data, size_t size) = 0;
    // Parses everything that is left.
    virtual void finish() = 0;
};

}  // namespace kestrel::lzh
