// MSB-first bit writer feeding a byte sink in large pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kestrel::lzh {

class BitWriter {
public:
    using Sink = std::function<bool(const uint8_t*, size_t)>;

    explicit BitWriter(Sink sink);

    // Appends the low `count` bits of `value`, most significant first; count <= 32.
    void put(unsigned count, uint32_t value)
    {
        bits_ = (bits_ << count) | (value & mask(count));
        pending_ += count;
        if (pending_ >= 32) {
            pending_ -= 32;
            appendWord(static_cast<uint32_t>(bits_ >> pending_));
        }
    }

    // Pads with zero bits to a byte boundary and hands everything to the sink.
    bool finish();

    // Hands the complete bytes gathered so far to the sink once enough have piled up.
    bool flushIfLarge()
    {
        return bytes_.size() < kFlushSize || flushBytes();
    }

    bool failed() const { return failed_; }
    uint64_t bytesWritten() const { return written_; }
    // Bytes handed over plus complete bytes still waiting for the sink.
    uint64_t bytesProduced() const { return written_ + bytes_.size() + pending_ / 8; }

private:
    static constexpr size_t kFlushSize = 64 * 1024;

    static uint64_t mask(unsigned count) { return (uint64_t{1} << count) - 1; }
    void appendWord(uint32_t word);
    bool flushBytes();

    Sink sink_;
    std::vector<uint8_t> bytes_;
    uint64_t bits_ = 0;
    unsigned pending_ = 0;  // bits in bits_ not yet moved to bytes_ (< 32)
    uint64_t written_ = 0;
    bool failed_ = false;
};

}  // namespace kestrel::lzh
