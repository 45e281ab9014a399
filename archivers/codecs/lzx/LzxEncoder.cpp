#include "LzxEncoder.h"

#include <algorithm>
#include <stdexcept>

// Placeholder frame coder: a stored-only implementation follows shortly.
class LzxEncoder::Impl {
public:
    explicit Impl(int bits) : bits_(std::clamp(bits, 15, 21)) {}
    int bits_;
};

LzxEncoder::LzxEncoder(int windowBits, bool) : impl_(std::make_unique<Impl>(windowBits)) {}
LzxEncoder::~LzxEncoder() = default;
int LzxEncoder::windowBits() const { return impl_->bits_; }
uint16_t LzxEncoder::folderCompressionType() const { return uint16_t(0x0003 | (impl_->bits_ << 8)); }
std::vector<uint8_t> LzxEncoder::encodeFrame(const uint8_t*, size_t, bool)
{
    throw std::logic_error("LZX encoder not built yet");
}
