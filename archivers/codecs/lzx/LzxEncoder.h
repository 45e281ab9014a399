#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Compresses one cabinet folder as a single LZX stream, one 32 KiB frame at a
// time. Each call returns the complete compressed bytes of one CFDATA block:
// the frame's data is fully coded in them (every frame is one LZX block, so no
// trees refer to data not yet seen), and a cabinet writer may store or split
// them at once. A frame never takes more than storing it would (32768 + 24
// bytes at most), far below the 32768 + 6144 readers accept.
// History, repeated offsets, previous tree lengths and the E8 state carry over
// from frame to frame; create a new encoder for every folder. Memory depends
// on the window only: about 24 MiB for 2 MiB, under 1 MiB for 32 KiB.
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
