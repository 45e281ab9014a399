#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Test-only helpers: compress a buffer into LZX frames, wrap them in a
// minimal one-folder, one-file cabinet, and read it back with libmspack
// entirely in memory.
struct CompressedFolder {
    std::vector<std::vector<uint8_t>> blocks; // one per frame
    std::vector<uint16_t> frameSizes;
    uint16_t typeCompress = 0;
    size_t totalBytes() const;
};

CompressedFolder compressFolder(const std::vector<uint8_t>& data, int windowBits, bool e8 = true);

std::vector<uint8_t> buildCabinet(const CompressedFolder& folder, uint32_t fileSize,
                                  const std::string& name = "data.bin");

// Extracts the single file of the cabinet; nullopt (and the libmspack error
// number in *error) when libmspack refuses it.
std::optional<std::vector<uint8_t>> extractWithMspack(const std::vector<uint8_t>& cabinet,
                                                      int* error = nullptr);

// Deterministic test inputs.
std::vector<uint8_t> randomBytes(size_t n, uint32_t seed);
std::vector<uint8_t> textLike(size_t n, uint32_t seed);
// Copies of earlier stretches at every length and distance, some altered,
// between short random runs: what the match finder sees in program files.
std::vector<uint8_t> fragments(size_t n, uint32_t seed);
