#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Compresses one cabinet folder as a single LZX stream, one 32 KiB frame at a
// time. Each call returns the complete compressed bytes of one CFDATA block:
// the frame's data is fully coded in them (no block trees refer to data that
// has not been seen yet), so a cabinet writer may store or split them at once.
// History, repeated offsets, previous tree lengths and the E8 state carry over
// from frame to frame; create a new encoder for every folder.
class LzxEncoder {
public:
    static constexpr size_t kFrameSize = 32768;

    // windowBits: 15..21 (32 KiB .. 2 MiB); values outside are clamped.
    // e8: emit the x86 CALL translation header and translate the input.
    explicit LzxEncoder(int windowBits, bool e8 = true);
    ~LzxEncoder();
    LzxEncoder(const LzxEncoder&) = delete;
    LzxEncoder& operator=(const LzxEncoder&) = delete;

    // Compresses the next frame of the folder: exactly kFrameSize bytes, except
    // the last frame, which may be shorter (1..kFrameSize bytes). The returned
    // bytes end on a 16-bit boundary, as every LZX frame must. A frame of size 0
    // yields no bytes and changes nothing. Calls after the last frame, and
    // frames of a wrong size, and frames beyond the 65535 a cabinet folder can
    // hold, throw std::logic_error.
    std::vector<uint8_t> encodeFrame(const uint8_t* data, size_t size, bool lastFrame);

    int windowBits() const;
    // The CFFOLDER typeCompress value for this window: 0x0003 | bits << 8.
    uint16_t folderCompressionType() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};
