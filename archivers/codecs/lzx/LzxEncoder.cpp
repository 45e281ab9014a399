#include "LzxEncoder.h"

#include "LzxBitWriter.h"
#include "LzxBlockWriter.h"
#include "LzxE8Translator.h"
#include "LzxItem.h"
#include "LzxMatchFinder.h"
#include "LzxOptimalParser.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr uint64_t kMaxFolderBytes = uint64_t(65535) * LzxEncoder::kFrameSize;
}

class LzxEncoder::Impl {
public:
    Impl(int bits, bool e8)
        : bits_(std::clamp(bits, 15, 21)),
          e8_(e8),
          finder_(bits_),
          blocks_(bits_),
          optimal_(finder_, reps_, lzx::mainSymbols(bits_))
    {
        optimal_.setEffort(1, 48);
    }

    std::vector<uint8_t> encodeFrame(const uint8_t* data, size_t size, bool lastFrame);

    int bits_;
    bool e8_;

private:
    void writeStreamHeader(LzxBitWriter& out) const;

    LzxMatchFinder finder_;
    LzxBlockWriter blocks_;
    LzxE8Translator translator_;
    uint32_t reps_[lzx::kNumRepeats] = {1, 1, 1};
    LzxOptimalParser optimal_;
    std::vector<LzxItem> items_;
    uint64_t folderOffset_ = 0;
    bool finished_ = false;
    bool lastStored_ = false;
};

void LzxEncoder::Impl::writeStreamHeader(LzxBitWriter& out) const
{
    out.put(e8_ ? 1 : 0, 1);
    if (e8_) {
        out.put(translator_.translationSize() >> 16, 16);
        out.put(translator_.translationSize() & 0xFFFF, 16);
    }
}

std::vector<uint8_t> LzxEncoder::Impl::encodeFrame(const uint8_t* data, size_t size, bool lastFrame)
{
    if (finished_)
        throw std::logic_error("LZX frame after the last frame of the folder");
    if (size > kFrameSize || (size < kFrameSize && size != 0 && !lastFrame))
        throw std::logic_error("LZX frame of a wrong size");
    std::vector<uint8_t> out;
    if (size == 0)
        return out;
    // Positions are 32-bit; a cabinet folder (at most 65535 frames) never
    // comes near this.
    if (folderOffset_ + size > kMaxFolderBytes)
        throw std::logic_error("LZX folder too long");

    const uint32_t start = finder_.end();
    uint8_t* frame = finder_.append(data, size);
    if (e8_)
        translator_.encodeFrame(frame, size, folderOffset_);

    // Search effort, chosen on text and program code: deeper searches and a
    // second pass per frame buy well under 1 % for about half the speed.
    // After a frame that did not shrink (packed data) a shallow search
    // suffices: it only has to notice when the data turns compressible.
    finder_.setEffort(lastStored_ ? 4 : 16, 32);
    items_.clear();
    optimal_.seedCosts(blocks_.mainLengths(), blocks_.lengthLengths(), blocks_.alignedLengths());
    optimal_.parse(start, start + uint32_t(size), items_);

    out.reserve(size / 2 + 256);
    LzxBitWriter bits(out);
    if (folderOffset_ == 0)
        writeStreamHeader(bits);
    lastStored_ = blocks_.write(bits, items_, frame, uint32_t(size), reps_);
    bits.alignTo16();

    folderOffset_ += size;
    finished_ = lastFrame;
    return out;
}

LzxEncoder::LzxEncoder(int windowBits, bool e8) : impl_(std::make_unique<Impl>(windowBits, e8)) {}

LzxEncoder::~LzxEncoder() = default;

std::vector<uint8_t> LzxEncoder::encodeFrame(const uint8_t* data, size_t size, bool lastFrame)
{
    return impl_->encodeFrame(data, size, lastFrame);
}

int LzxEncoder::windowBits() const { return impl_->bits_; }

uint16_t LzxEncoder::folderCompressionType() const { return uint16_t(0x0003 | (impl_->bits_ << 8)); }
