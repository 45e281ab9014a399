#include "ZipDecoder.h"

#include "ZipBzip2Decoder.h"
#include "ZipInflateDecoder.h"
#include "ZipLzmaDecoder.h"
#include "ZipZstdDecoder.h"

namespace kestrel::zip {

namespace {

// ZIP method numbers (APPNOTE 4.4.5); 20 is where early Zstandard writers put it
// before 93 was assigned.
constexpr uint16_t kDeflate = 8;
constexpr uint16_t kBzip2 = 12;
constexpr uint16_t kLzma = 14;
constexpr uint16_t kZstdEarly = 20;
constexpr uint16_t kZstd = 93;
constexpr uint16_t kXz = 95;

}  // namespace

bool ZipDecoder::decodes(uint16_t method) {
    switch (method) {
    case kDeflate:
    case kBzip2:
    case kLzma:
    case kZstdEarly:
    case kZstd:
    case kXz: return true;
    default: return false;
    }
}

std::unique_ptr<ZipDecoder> ZipDecoder::create(uint16_t method, uint64_t size) {
    switch (method) {
    case kDeflate: return std::make_unique<ZipInflateDecoder>();
    case kBzip2: return std::make_unique<ZipBzip2Decoder>();
    case kLzma: return std::make_unique<ZipLzmaDecoder>(ZipLzmaDecoder::Format::ZipLzma, size);
    case kXz: return std::make_unique<ZipLzmaDecoder>(ZipLzmaDecoder::Format::Xz, size);
    case kZstdEarly:
    case kZstd: return std::make_unique<ZipZstdDecoder>();
    default: return nullptr;
    }
}

}  // namespace kestrel::zip
