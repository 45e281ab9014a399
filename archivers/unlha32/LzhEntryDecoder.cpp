#include "LzhEntryDecoder.h"

#include <lhasa.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Crc16.h"

namespace kestrel::lzh {

namespace {

constexpr size_t ChunkSize = 64 * 1024;

// Feeds liblhasa the entry's compressed bytes and nothing beyond them. liblhasa
// asks for small pieces, so reads go through a buffer of our own. Every request
// is filled completely unless the data ends: the -lz5- decoder reads a two-byte
// copy command in one request and takes a shorter answer as the end of the data.
struct CompressedInput {
    const LzhArchive* archive;
    uint64_t offset;
    uint64_t left;
    bool failed = false;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(ChunkSize);
    size_t bufferPos = 0;
    size_t bufferEnd = 0;

    bool refill() {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), left));
        if (n == 0) return false;
        if (!archive->readAt(offset, buffer.data(), n)) {
            failed = true;
            return false;
        }
        offset += n;
        left -= n;
        bufferPos = 0;
        bufferEnd = n;
        return true;
    }
};

size_t readCompressed(void* buf, size_t len, void* data) {
    auto* in = static_cast<CompressedInput*>(data);
    auto* out = static_cast<uint8_t*>(buf);
    size_t done = 0;
    while (done < len) {
        if (in->bufferPos == in->bufferEnd && !in->refill()) break;
        size_t n = std::min(len - done, in->bufferEnd - in->bufferPos);
        std::memcpy(out + done, in->buffer.data() + in->bufferPos, n);
        in->bufferPos += n;
        done += n;
    }
    return done;
}

LHADecoderType* decoderFor(const std::string& method) {
    std::string name = method;  // liblhasa takes a non-const char*
    return lha_decoder_for_name(name.data());
}

LzhEntryDecoder::Result decodeStored(const LzhArchive& archive, const LzhEntry& entry,
                                     const LzhEntryDecoder::Sink& sink, Crc16& crc) {
    if (entry.compressedSize != entry.originalSize) return LzhEntryDecoder::Result::Damaged;
    std::vector<uint8_t> buf(ChunkSize);
    uint64_t offset = entry.dataOffset, left = entry.originalSize;
    while (left > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), left));
        if (!archive.readAt(offset, buf.data(), n)) return LzhEntryDecoder::Result::Damaged;
        crc.update(buf.data(), n);
        if (!sink(buf.data(), n)) return LzhEntryDecoder::Result::SinkFailed;
        offset += n;
        left -= n;
    }
    return LzhEntryDecoder::Result::Ok;
}

}  // namespace

bool LzhEntryDecoder::isSupported(const std::string& method) {
    return method == "-lh0-" || method == "-lz4-" || method == "-lhd-" || decoderFor(method) != nullptr;
}

LzhEntryDecoder::Result LzhEntryDecoder::decode(const LzhArchive& archive, const LzhEntry& entry,
                                                const Sink& sink) {
    if (entry.method == "-lhd-") return Result::Ok;
    Crc16 crc;
    if (entry.isStored()) {
        Result r = decodeStored(archive, entry, sink, crc);
        if (r != Result::Ok) return r;
        return crc.value() == entry.crc ? Result::Ok : Result::Damaged;
    }
    LHADecoderType* type = decoderFor(entry.method);
    if (!type) return Result::Unsupported;
    if (entry.originalSize == 0) return entry.crc == 0 ? Result::Ok : Result::Damaged;
    CompressedInput input{&archive, entry.dataOffset, entry.compressedSize};
    // liblhasa's length is a size_t; entries beyond it cannot be decoded anyway.
    LHADecoder* decoder = lha_decoder_new(type, readCompressed, &input, static_cast<size_t>(entry.originalSize));
    if (!decoder) return Result::Unsupported;
    std::vector<uint8_t> buf(ChunkSize);
    uint64_t left = entry.originalSize;
    Result result = Result::Ok;
    while (left > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(buf.size(), left));
        size_t n = lha_decoder_read(decoder, buf.data(), want);
        if (n == 0 || n > want || input.failed) {
            result = Result::Damaged;  // the stream ran dry before the original size
            break;
        }
        crc.update(buf.data(), n);
        if (!sink(buf.data(), n)) {
            result = Result::SinkFailed;
            break;
        }
        left -= n;
    }
    lha_decoder_free(decoder);
    if (result == Result::Ok && crc.value() != entry.crc) result = Result::Damaged;
    return result;
}

}  // namespace kestrel::lzh
