// Helpers shared by the encoder tests: encoding in chunks, decoding with
// liblhasa, and deterministic sample data.
#pragma once

#include "LzhEncoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::lzh::test {

using Bytes = std::vector<uint8_t>;

// Encodes `input` handing it to the encoder in pieces of `chunk` bytes.
Bytes encode(LzhMethod method, const Bytes& input, size_t chunk = 1 << 20,
             LzhEffort effort = LzhEffort::Normal);

// Decodes with liblhasa's decoder for the method; stops after `originalSize` bytes.
Bytes decodeWithLhasa(LzhMethod method, const Bytes& compressed, size_t originalSize);

// Seeded pseudo-random bytes (xorshift), the same on every run.
Bytes randomBytes(size_t size, uint64_t seed);

// English-like text built from a fixed word list, compressible like prose.
Bytes sampleText(size_t size, uint64_t seed);

// CRC-16 as the archive headers store it.
uint16_t crc16(const Bytes& data);

}  // namespace kestrel::lzh::test
