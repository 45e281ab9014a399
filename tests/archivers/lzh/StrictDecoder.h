// A deliberately strict decoder for checking encoder output in tests.
//
// liblhasa forgives streams that stricter readers refuse (it pre-fills its
// window, ignores trailing bytes and leftover codes), so passing through it
// alone proves too little. This decoder rejects every such liberty: a zero
// code count, incomplete or oversubscribed trees, lengths over 16, a skip
// count reaching past the transmitted lengths, references before the first
// byte or beyond the dictionary, matches past the end, a block that is not
// used up exactly, any non-zero or extra bits after the last code, and a
// pre-tree in its single-symbol form or with fewer than three lengths, which
// libarchive 3.6 cannot read.
#pragma once

#include "LzhTestSupport.h"

#include <optional>
#include <string>

namespace kestrel::lzh::test {

struct StrictResult {
    Bytes data;
    std::string error;  // empty on success
    size_t blocks = 0;
    size_t singleSymbolBlocks = 0;  // blocks whose character tree has one symbol
    size_t longestMatch = 0;
    size_t farthestDistance = 0;
};

StrictResult decodeStrict(unsigned dictBits, const Bytes& compressed, size_t originalSize);

}  // namespace kestrel::lzh::test
