// One folder's compression stream, block by block. A cabinet writer hands it the
// folder's data in blocks of 32768 bytes (the last may be shorter) and gets back
// the bytes of each CFDATA record. Every returned block is complete on its own
// terms (it never needs later data), so the writer may store or split it at once.
#ifndef KESTREL_CAB_BLOCK_COMPRESSOR_H
#define KESTREL_CAB_BLOCK_COMPRESSOR_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kestrel::arc::cab {

enum class CabMethod { MsZip, Lzx };

class BlockCompressor {
public:
    virtual ~BlockCompressor() = default;
    // `last` is true for the final block of the folder.
    virtual std::vector<uint8_t> compress(const uint8_t* data, size_t size, bool last) = 0;
    // The CFFOLDER typeCompress value.
    virtual uint16_t typeCompress() const = 0;

    // A fresh stream for a new folder. lzxWindowBits is used for Lzx only (15..21).
    static std::unique_ptr<BlockCompressor> create(CabMethod method, int lzxWindowBits);
};

}  // namespace kestrel::arc::cab

#endif
