// Decoding one entry's data with every check a hostile archive calls for: the bytes
// are bounded by the declared size (a larger stream is a lie, not a reason to write
// more), and both the length and the CRC-32 must match at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ZipEntry.h"

struct zip;
struct zip_file;

namespace kestrel::zip {

class ZipEntryReader {
public:
    enum class Status {
        Ok,
        NeedPassword,   // encrypted and no password given
        WrongPassword,  // the password check failed (or the data did not decrypt)
        Unsupported,    // a compression or encryption method neither libzip nor ZipDecoder knows
        Damaged,        // data error, CRC or length mismatch, truncation
        Stopped,        // the sink asked to stop
    };
    // Receives the decoded data in order; returns false to stop.
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    ZipEntryReader(struct zip* archive, const ZipEntry& entry);
    ~ZipEntryReader();
    ZipEntryReader(const ZipEntryReader&) = delete;
    ZipEntryReader& operator=(const ZipEntryReader&) = delete;

    // Whether the entry can be decoded here at all (Ok or Unsupported), before any
    // password is asked for.
    Status precheck();
    // Opens the entry; `password` is used only for encrypted entries.
    Status open(const char* password);
    // Streams the whole entry into `sink` and checks it.
    Status copyTo(const Sink& sink);

    // libzip's words for the last failure, for the report.
    const std::string& detail() const { return detail_; }
    uint64_t bytesRead() const { return total_; }

private:
    Status fail(Status status, const char* fallback);
    // Passes decoded bytes on, refusing any beyond the declared size.
    bool deliver(const uint8_t* data, size_t size, const Sink& sink, Status& status);
    Status readError();
    // Data that libzip hands over still compressed and that is decoded here: the
    // methods this libzip lacks, and every compressed WinZip AES version 2 entry.
    // AE-2 stores no CRC and libzip 1.7 still checks the zero it finds there, so
    // those entries are read decrypted (the AES layer checks its authentication
    // code) and decompressed here.
    Status copyDecoding(const Sink& sink);
    bool selfDecoded() const;
    bool aesWithoutCrc() const;
    bool storedWithoutCrc() const;

    struct zip* archive_;
    const ZipEntry& entry_;
    struct zip_file* file_ = nullptr;
    uint64_t total_ = 0;
    uint32_t crc_ = 0;
    std::string detail_;
};

}  // namespace kestrel::zip
