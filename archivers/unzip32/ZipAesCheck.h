// Checks a WinZip AES entry's password verifier and authentication code against its
// raw (still encrypted) data, for the entries whose check libzip 1.7 gets wrong.
#pragma once

#include "ZipEntry.h"

struct zip;

namespace kestrel::zip {

class ZipAesCheck {
public:
    enum class Result { Ok, WrongPassword, Damaged };

    static Result verify(struct zip* archive, const ZipEntry& entry, const char* password);
};

}  // namespace kestrel::zip
