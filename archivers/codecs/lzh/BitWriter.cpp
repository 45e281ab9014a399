#include "BitWriter.h"

#include <utility>

namespace kestrel::lzh {

BitWriter::BitWriter(Sink sink) : sink_(std::move(sink))
{
    bytes_.reserve(kFlushSize + 8);
}

void BitWriter::appendWord(uint32_t word)
{
    const uint8_t b[4] = {static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16),
                          static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)};
    bytes_.insert(bytes_.end(), b, b + 4);
}

bool BitWriter::flushBytes()
{
    if (failed_)
        return false;
    if (!bytes_.empty()) {
        if (!sink_(bytes_.data(), bytes_.size())) {
            failed_ = true;
            return false;
        }
        written_ += bytes_.size();
        bytes_.clear();
    }
    return true;
}

bool BitWriter::finish()
{
    while (pending_ >= 8) {
        pending_ -= 8;
        bytes_.push_back(static_cast<uint8_t>(bits_ >> pending_));
    }
    if (pending_ > 0) {
        bytes_.push_back(static_cast<uint8_t>(bits_ << (8 - pending_)));
        pending_ = 0;
    }
    return flushBytes();
}

}  // namespace kestrel::lzh
