#include "ZipEntryReader.h"

#include <zip.h>
#include <zlib.h>

#include <vector>

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

ZipEntryReader::Status ZipEntryReader::open(const char* password) {
    if (!methodSupported(entry_.method))
        return fail(Status::Unsupported, "unsupported compression method");
    if (entry_.encrypted() &&
        zip_encryption_method_supported(entry_.encryption, 0) == 0)
        return fail(Status::Unsupported, "unsupported encryption method");
    if (entry_.encrypted() && password == nullptr)
        return fail(Status::NeedPassword, "password required");
    file_ = entry_.encrypted() ? zip_fopen_index_encrypted(archive_, entry_.index, 0, password)
                               : zip_fopen_index(archive_, entry_.index, 0);
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

ZipEntryReader::Status ZipEntryReader::copyTo(const Sink& sink) {
    if (file_ == nullptr)
        return fail(Status::Damaged, "entry not open");
    std::vector<uint8_t> buffer(kChunk);
    uLong crc = crc32(0, nullptr, 0);
    total_ = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(file_, buffer.data(), buffer.size());
        if (n < 0) {
            zip_error_t* error = zip_file_get_error(file_);
            detail_ = zip_error_strerror(error);
            // A traditionally encrypted entry read with a wrong password that passed
            // the one-byte check only shows up as garbage here.
            if (entry_.encrypted() && zip_error_code_zip(error) == ZIP_ER_CRC)
                return Status::WrongPassword;
            return Status::Damaged;
        }
        if (n == 0)
            break;
        const size_t got = static_cast<size_t>(n);
        if (got > entry_.size - total_)
            return fail(Status::Damaged, "more data than the declared size");
        total_ += got;
        crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
        if (!sink(buffer.data(), got))
            return fail(Status::Stopped, "stopped");
    }
    if (total_ != entry_.size)
        return fail(Status::Damaged, "less data than the declared size");
    // WinZip AES (AE-2) stores no CRC; its authentication code, which libzip checks,
    // stands in for it.
    const bool aes = entry_.encryption == ZIP_EM_AES_128 || entry_.encryption == ZIP_EM_AES_192 ||
                     entry_.encryption == ZIP_EM_AES_256;
    if (!(aes && entry_.crc == 0) && static_cast<uint32_t>(crc) != entry_.crc) {
        if (entry_.encrypted())
            return fail(Status::WrongPassword, "CRC error (wrong password?)");
        return fail(Status::Damaged, "CRC error");
    }
    return Status::Ok;
}

}  // namespace kestrel::zip
