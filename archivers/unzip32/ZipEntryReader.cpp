#include "ZipEntryReader.h"

#include <zip.h>
#include <zlib.h>

#include <vector>

#include "ZipAesCheck.h"
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

bool ZipEntryReader::selfDecoded() const {
    const bool aes = entry_.encryption == ZIP_EM_AES_128 || entry_.encryption == ZIP_EM_AES_192 ||
                     entry_.encryption == ZIP_EM_AES_256;
    return aes && entry_.crcKnown && entry_.crc == 0 &&
           (entry_.method == ZIP_CM_STORE || entry_.method == ZIP_CM_DEFLATE);
}

bool ZipEntryReader::storedWithoutCrc() const {
    return selfDecoded() && entry_.method == ZIP_CM_STORE;
}

ZipEntryReader::Status ZipEntryReader::precheck() {
    if (!methodSupported(entry_.method))
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

ZipEntryReader::Status ZipEntryReader::copyInflating(const Sink& sink) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return fail(Status::Damaged, "inflate");
    std::vector<uint8_t> in(kChunk);
    std::vector<uint8_t> out(kChunk);
    Status status = Status::Ok;
    int rc = Z_OK;
    while (rc != Z_STREAM_END && status == Status::Ok) {
        const zip_int64_t n = zip_fread(file_, in.data(), in.size());
        if (n < 0) {
            status = readError();
            break;
        }
        if (n == 0)
            break;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
                status = fail(Status::Damaged, "data error");
                break;
            }
            if (!deliver(out.data(), out.size() - z.avail_out, sink, status))
                break;
        } while (z.avail_out == 0 && rc != Z_STREAM_END);
    }
    inflateEnd(&z);
    if (status == Status::Ok && rc != Z_STREAM_END)
        return fail(Status::Damaged, "truncated data");
    return status;
}

ZipEntryReader::Status ZipEntryReader::copyTo(const Sink& sink) {
    if (file_ == nullptr)
        return fail(Status::Damaged, "entry not open");
    total_ = 0;
    crc_ = static_cast<uint32_t>(crc32(0, nullptr, 0));
    Status status = Status::Ok;
    if (selfDecoded() && entry_.method == ZIP_CM_DEFLATE) {
        status = copyInflating(sink);
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
    if (entry_.crcKnown && !selfDecoded() && crc_ != entry_.crc) {
        if (entry_.encrypted())
            return fail(Status::WrongPassword, "CRC error (wrong password?)");
        return fail(Status::Damaged, "CRC error");
    }
    return Status::Ok;
}

}  // namespace kestrel::zip
