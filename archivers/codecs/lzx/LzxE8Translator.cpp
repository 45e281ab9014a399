#include "LzxE8Translator.h"

#include <cstring>

namespace {

int32_t load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return int32_t(v); // little-endian host (x86-64, as this project targets)
}

void store32(uint8_t* p, int32_t v)
{
    const uint32_t u = uint32_t(v);
    std::memcpy(p, &u, 4);
}

// Calls fn(operand pointer, absolute position) for every 0xE8 the decoder
// would look at: never in the last 10 bytes, and never inside an operand.
template <typename Fn>
void forEachCall(uint8_t* frame, size_t length, uint64_t folderOffset, Fn fn)
{
    if (length <= 10 || folderOffset >= LzxE8Translator::kTranslationLimit)
        return;
    const size_t stop = length - 10;
    for (size_t i = 0; i < stop;) {
        if (frame[i] != 0xE8) {
            ++i;
            continue;
        }
        fn(frame + i + 1, int32_t(folderOffset + i));
        i += 5;
    }
}

} // namespace

void LzxE8Translator::encodeFrame(uint8_t* frame, size_t length, uint64_t folderOffset) const
{
    const int32_t t = size_;
    forEachCall(frame, length, folderOffset, [t](uint8_t* op, int32_t cur) {
        const int32_t rel = load32(op);
        if (rel >= -cur && rel < t)
            store32(op, rel < t - cur ? rel + cur : rel - t);
    });
}

void LzxE8Translator::decodeFrame(uint8_t* frame, size_t length, uint64_t folderOffset) const
{
    const int32_t t = size_;
    forEachCall(frame, length, folderOffset, [t](uint8_t* op, int32_t cur) {
        const int32_t abs = load32(op);
        if (abs >= -cur && abs < t)
            store32(op, abs >= 0 ? abs - cur : abs + t);
    });
}
