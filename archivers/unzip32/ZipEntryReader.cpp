#include "ZipEntryReader.h"

#include <zip.h>
#include <zlib.h>

#include <memory>
#include <vector>

#include "ZipAesCheck.h"
#include "ZipDecoder.h"
#include "ZipMethod.h"

namespace kestrel::zip {

namespace {
constexpr size_t kChunk = 64 * 1024;
}

ZipEntryReader::ZipEntryReader(struct zip* archive, const ZipEntry& entry)
    : archive_(archive), entry_(entry) {}

ZipEntryReader::~ZipEntryReader() {
    if (file_ != nullptr)
        zip_fclose(file_);
}

ZipEntryReader::Status ZipEntryReader::fail(Status status, const char* fallback) {
    detail_ = fallback;
    return status;
}

bool ZipEntryReader::aesWithoutCrc() const {
    const bool aes = entry_.encryption == ZIP_EM_AES_128 || entry_.encryption == ZIP_EM_AES_192 ||
                     entry_.encryption == ZIP_EM_AES_256;
    return aes && entry_.crcKnown && entry_.crc == 0;
}

bool ZipEntryReader::selfDecoded() const {
    if (entry_.method == ZIP_CM_STORE || !ZipDecoder::decodes(entry_.method))
        return false;
    return aesWithoutCrc() || zip_compression_method_supported(entry_.method, 0) == 0;
}

bool ZipEntryReader::storedWithoutCrc() const {
    return aesWithoutCrc() && entry_.method == ZIP_CM_STORE;
}

ZipEntryReader::Status ZipEntryReader::precheck() {
    if (!methodSupported(entry_.method) && !ZipDecoder::decodes(entry_.method))
        return fail(Status::Unsupported, "unsupported compression method");
    if (entry_.encrypted() &&
        zip_encryption_method_supported(entry_.encryption, 0) == 0)
        return fail(Status::Unsupported, "unsupported encryption method");
    return Status::Ok;
}

ZipEntryReader::Status ZipEntryReader::open(const char* password) {
    if (const Status s = precheck(); s != Status::Ok)
        return s;
    if (entry_.encrypted() && password == nullptr)
        return fail(Status::NeedPassword, "password required");
    if (storedWithoutCrc()) {
        // libzip checks this entry's CRC although AES left it zero, and its complaint
        // cannot be told from a failed authentication code: check the code here.
        switch (ZipAesCheck::verify(archive_, entry_, password)) {
        case ZipAesCheck::Result::Ok: break;
        case ZipAesCheck::Result::WrongPassword:
            return fail(Status::WrongPassword, "wrong password");
        case ZipAesCheck::Result::Damaged:
            return fail(Status::Damaged, "authentication code mismatch");
        }
    }
    const zip_flags_t flags = selfDecoded() ? ZIP_FL_COMPRESSED : 0;
    file_ = entry_.encrypted() ? zip_fopen_index_encrypted(archive_, entry_.index, flags, password)
                               : zip_fopen_index(archive_, entry_.index, flags);
    if (file_ != nullptr)
        return Status::Ok;
    zip_error_t* error = zip_get_error(archive_);
    detail_ = zip_error_strerror(error);
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_WRONGPASSWD: return Status::WrongPassword;
    case ZIP_ER_NOPASSWD: return Status::NeedPassword;
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP: return Status::Unsupported;
    default: return Status::Damaged;
    }
}

ZipEntryReader::Status ZipEntryReader::readError() {
    zip_error_t* error = zip_file_get_error(file_);
    detail_ = zip_error_strerror(error);
    // A traditionally encrypted entry read with a wrong password that passed the
    // one-byte check only shows up as garbage; an AES entry's failed
    // authentication code is reported the same way.
    if (entry_.encrypted() && zip_error_code_zip(error) == ZIP_ER_CRC)
        return Status::WrongPassword;
    return Status::Damaged;
}

bool ZipEntryReader::deliver(const uint8_t* data, size_t size, const Sink& sink, Status& status) {
    if (size > entry_.size - total_) {
        status = fail(Status::Damaged, "more data than the declared size");
        return false;
    }
    total_ += size;
    crc_ = static_cast<uint32_t>(crc32(crc_, data, static_cast<uInt>(size)));
    if (!sink(data, size)) {
        status = fail(Status::Stopped, "stopped");
        return false;
    }
    return true;
}

ZipEntryReader::Status ZipEntryReader::copyDecoding(const Sink& sink) {
    const std::unique_ptr<ZipDecoder> decoder = ZipDecoder::create(entry_.method, entry_.size);
    if (!decoder)
        return fail(Status::Unsupported, "unsupported compression method");
    std::vector<uint8_t> in(kChunk);
    Status status = Status::Ok;
    ZipDecoder::Result result = ZipDecoder::Result::More;
    const ZipDecoder::Emit emit = [&](const uint8_t* data, size_t size) {
        return deliver(data, size, sink, status);
    };
    for (;;) {
        const zip_int64_t n = zip_fread(file_, in.data(), in.size());
        if (n < 0)
            return readError();
        if (n == 0)
            break;
        // Once the stream has ended the rest is still read: an AES entry's
        // authentication code is checked only when its last byte has been.
        if (result == ZipDecoder::Result::More)
            result = decoder->decode(in.data(), static_cast<size_t>(n), emit);
        if (result == ZipDecoder::Result::Stopped)
            return status;
        if (result == ZipDecoder::Result::Failed)
            return fail(entry_.encrypted() ? Status::WrongPassword : Status::Damaged, decoder->error().c_str());
    }
    if (!decoder->complete())
        return fail(Status::Damaged, "truncated data");
    return Status::Ok;
}

ZipEntryReader::Status ZipEntryReader::copyTo(const Sink& sink) {
    if (file_ == nullptr)
        return fail(Status::Damaged, "entry not open");
    total_ = 0;
    crc_ = static_cast<uint32_t>(crc32(0, nullptr, 0));
    Status status = Status::Ok;
    if (selfDecoded()) {
        status = copyDecoding(sink);
    } else {
        std::vector<uint8_t> buffer(kChunk);
        for (;;) {
            const zip_int64_t n = zip_fread(file_, buffer.data(), buffer.size());
            // The zero CRC libzip wrongly checks at the end (see open()); the data
            // itself was authenticated before it was read.
            if (n < 0 && storedWithoutCrc() && total_ == entry_.size &&
                zip_error_code_zip(zip_file_get_error(file_)) == ZIP_ER_CRC)
                break;
            if (n < 0)
                return readError();
            if (n == 0 || !deliver(buffer.data(), static_cast<size_t>(n), sink, status))
                break;
        }
    }
    if (status != Status::Ok)
        return status;
    if (total_ != entry_.size)
        return fail(Status::Damaged, "less data than the declared size");
    // AES version 2 leaves the CRC out; its authentication code stands for it.
    if (entry_.crcKnown && !aesWithoutCrc() && crc_ != entry_.crc) {
        if (entry_.encrypted())
            return fail(Status::WrongPassword, "CRC error (wrong password?)");
        return fail(Status::Damaged, "CRC error");
    }
    return Status::Ok;
}

}  // namespace kestrel::zip
