#include "LzhTestSupport.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <lhasa.h>
}

namespace kestrel::lzh::test {

Bytes encode(LzhMethod method, const Bytes& input, size_t chunk, LzhEffort effort)
{
    Bytes out;
    LzhEncoder encoder(
        method,
        [&out](const uint8_t* data, size_t size) {
            out.insert(out.end(), data, data + size);
            return true;
        },
        effort);
    for (size_t at = 0; at < input.size(); at += chunk) {
        const size_t n = std::min(chunk, input.size() - at);
        if (!encoder.write(input.data() + at, n))
            return {};
    }
    if (!encoder.finish())
        return {};
    return out;
}

namespace {

struct Source {
    const Bytes* data;
    size_t at;
};

size_t readSource(void* buf, size_t len, void* user)
{
    auto* src = static_cast<Source*>(user);
    const size_t n = std::min(len, src->data->size() - src->at);
    std::memcpy(buf, src->data->data() + src->at, n);
    src->at += n;
    return n;
}

}  // namespace

Bytes decodeWithLhasa(LzhMethod method, const Bytes& compressed, size_t originalSize)
{
    std::string name = methodId(method);
    LHADecoderType* type = lha_decoder_for_name(name.data());
    if (!type)
        return {};
    Source src{&compressed, 0};
    LHADecoder* decoder = lha_decoder_new(type, readSource, &src, originalSize);
    Bytes out(originalSize);
    size_t got = 0;
    while (got < originalSize) {
        const size_t n = lha_decoder_read(decoder, out.data() + got, originalSize - got);
        if (n == 0)
            break;
        got += n;
    }
    lha_decoder_free(decoder);
    out.resize(got);
    return out;
}

Bytes randomBytes(size_t size, uint64_t seed)
{
    Bytes out(size);
    uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b = static_cast<uint8_t>(x >> 24);
    }
    return out;
}

Bytes sampleText(size_t size, uint64_t seed)
{
    static const char* const words[] = {
        "the", "file", "archive", "window", "folder", "of", "and", "to", "a", "copy",
        "header", "compressed", "size", "is", "in", "for", "data", "name", "with", "on",
        "Kestrel", "manager", "pane", "list", "tree", "entry", "method", "bytes", "each", "when"};
    const Bytes noise = randomBytes(size + 1, seed);
    Bytes out;
    out.reserve(size + 16);
    size_t i = 0;
    while (out.size() < size) {
        const char* w = words[noise[i++ % noise.size()] % (sizeof words / sizeof *words)];
        out.insert(out.end(), w, w + std::strlen(w));
        out.push_back(noise[i % noise.size()] % 11 == 0 ? '\n' : ' ');
    }
    out.resize(size);
    return out;
}

uint16_t crc16(const Bytes& data)
{
    uint16_t crc = 0;
    for (uint8_t b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

}  // namespace kestrel::lzh::test
