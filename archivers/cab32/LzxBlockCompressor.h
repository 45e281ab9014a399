// LZX blocks for a cabinet folder: one LzxEncoder per folder, one frame per block.
#ifndef KESTREL_CAB_LZX_BLOCK_COMPRESSOR_H
#define KESTREL_CAB_LZX_BLOCK_COMPRESSOR_H

#include "BlockCompressor.h"
#include "LzxEncoder.h"

namespace kestrel::arc::cab {

class LzxBlockCompressor : public BlockCompressor {
public:
    explicit LzxBlockCompressor(int windowBits);

    std::vector<uint8_t> compress(const uint8_t* data, size_t size, bool last) override;
    uint16_t typeCompress() const override;

private:
    LzxEncoder encoder_;
};

}  // namespace kestrel::arc::cab

#endif
