#pragma once

#include <cstddef>
#include <cstdint>

// The x86 CALL translation of LZX: the 32-bit operand after each 0xE8 byte
// is turned from a relative into an absolute address, which makes repeated
// calls to one function repeat byte for byte. The decoder undoes it per
// frame, so this must visit exactly the positions the decoder visits.
class LzxE8Translator {
public:
    // Only call targets that land in [0, size) relative to the folder start
    // are translated, so the size must reach well into large folders: with a
    // size of a few MiB, code beyond it gains nothing (about 9 % larger output
    // on 30 MB of programs). A larger size also translates more operand-like
    // bytes that are not calls (UTF-8 text has many 0xE8 lead bytes), so
    // stop at 64 MiB.
    static constexpr uint32_t kDefaultTranslationSize = 1u << 26;
    // Frames at or beyond this folder offset are never translated.
    static constexpr uint64_t kTranslationLimit = uint64_t(1) << 30;

    explicit LzxE8Translator(uint32_t translationSize = kDefaultTranslationSize)
        : size_(int32_t(translationSize))
    {
    }

    uint32_t translationSize() const { return uint32_t(size_); }

    // Translates one frame in place; folderOffset is its first byte's
    // position in the folder.
    void encodeFrame(uint8_t* frame, size_t length, uint64_t folderOffset) const;

    // The decoder's direction, for tests and for checking the inverse.
    void decodeFrame(uint8_t* frame, size_t length, uint64_t folderOffset) const;

private:
    int32_t size_;
};
