#include "ZipAesCheck.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/core_names.h>
#include <zip.h>

#include <cstring>
#include <memory>
#include <vector>

namespace kestrel::zip {

namespace {

constexpr size_t kVerifierSize = 2;
constexpr size_t kAuthSize = 10;  // the HMAC-SHA1 is stored cut to ten bytes
constexpr int kIterations = 1000;

size_t keySize(uint16_t encryption) {
    switch (encryption) {
    case ZIP_EM_AES_128: return 16;
    case ZIP_EM_AES_192: return 24;
    case ZIP_EM_AES_256: return 32;
    default: return 0;
    }
}

struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct MacCloser {
    void operator()(EVP_MAC* m) const { EVP_MAC_free(m); }
    void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
};

// Reads exactly `size` bytes unless the entry ends first; returns the count read.
size_t readSome(zip_file_t* file, uint8_t* data, size_t size) {
    size_t got = 0;
    while (got < size) {
        const zip_int64_t n = zip_fread(file, data + got, size - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace

ZipAesCheck::Result ZipAesCheck::verify(struct zip* archive, const ZipEntry& entry,
                                        const char* password) {
    const size_t key = keySize(entry.encryption);
    const size_t salt = key / 2;
    if (key == 0 || password == nullptr || entry.compressedSize < salt + kVerifierSize + kAuthSize)
        return Result::Damaged;
    // ZIP_FL_ENCRYPTED: the bytes as stored. libzip may still complain about the CRC at
    // the very end; every byte has been delivered by then, which is all we need.
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index_encrypted(archive, entry.index, ZIP_FL_ENCRYPTED, nullptr));
    if (!file)
        return Result::Damaged;

    std::vector<uint8_t> head(salt + kVerifierSize);
    if (readSome(file.get(), head.data(), head.size()) != head.size())
        return Result::Damaged;
    std::vector<uint8_t> keys(2 * key + kVerifierSize);
    if (PKCS5_PBKDF2_HMAC_SHA1(password, static_cast<int>(std::strlen(password)), head.data(),
                               static_cast<int>(salt), kIterations, static_cast<int>(keys.size()),
                               keys.data()) != 1)
        return Result::Damaged;
    if (std::memcmp(keys.data() + 2 * key, head.data() + salt, kVerifierSize) != 0)
        return Result::WrongPassword;

    std::unique_ptr<EVP_MAC, MacCloser> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    std::unique_ptr<EVP_MAC_CTX, MacCloser> mac(hmac ? EVP_MAC_CTX_new(hmac.get()) : nullptr);
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0), OSSL_PARAM_construct_end()};
    if (!mac || EVP_MAC_init(mac.get(), keys.data() + key, key, params) != 1)
        return Result::Damaged;
    // The code covers the encrypted data, which ends kAuthSize bytes before the entry.
    uint64_t remaining = entry.compressedSize - head.size() - kAuthSize;
    std::vector<uint8_t> buffer(64 * 1024);
    while (remaining > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, buffer.size()));
        const size_t got = readSome(file.get(), buffer.data(), want);
        if (got != want)
            return Result::Damaged;
        if (EVP_MAC_update(mac.get(), buffer.data(), got) != 1)
            return Result::Damaged;
        remaining -= got;
    }
    uint8_t stored[kAuthSize];
    if (readSome(file.get(), stored, kAuthSize) != kAuthSize)
        return Result::Damaged;
    uint8_t computed[EVP_MAX_MD_SIZE];
    size_t length = 0;
    if (EVP_MAC_final(mac.get(), computed, &length, sizeof computed) != 1 || length < kAuthSize)
        return Result::Damaged;
    return CRYPTO_memcmp(computed, stored, kAuthSize) == 0 ? Result::Ok : Result::Damaged;
}

}  // namespace kestrel::zip
