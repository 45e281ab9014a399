#include "ZipEntry.h"

#include <sys/stat.h>
#include <zip.h>

namespace kestrel::zip {

namespace {
constexpr uint8_t kDosFolder = 0x10;
}

uint32_t ZipEntry::unixMode() const {
    // Only the Unix-like hosts keep st_mode in the high half; a DOS or NTFS maker
    // leaves garbage or zero there.
    if (madeBy != ZIP_OPSYS_UNIX && madeBy != ZIP_OPSYS_OS_X)
        return 0;
    const uint32_t mode = externalAttributes >> 16;
    return (mode & S_IFMT) != 0 ? mode : 0;
}

uint8_t ZipEntry::dosAttributes() const {
    return static_cast<uint8_t>(externalAttributes & 0xff);
}

bool ZipEntry::isFolder() const {
    if (!name.empty() && name.back() == '/')
        return true;
    const uint32_t mode = unixMode();
    if (mode != 0)
        return S_ISDIR(mode);
    return (dosAttributes() & kDosFolder) != 0;
}

bool ZipEntry::isSymlink() const {
    const uint32_t mode = unixMode();
    return mode != 0 && S_ISLNK(mode);
}

}  // namespace kestrel::zip
