#include "platform/FileOwnership.h"

#include "platform/FileStatus.h"

#include <cerrno>
#include <unistd.h>

void FileOwnership::copyTo(int fd, const FileStatus& like)
{
    if (::fchown(fd, like.owner(), like.group()) != 0)
        (void)::fchown(fd, uid_t(-1), like.group());
}

int FileOwnership::writeRefusal(const char* path)
{
    if (::access(path, F_OK) != 0 || ::access(path, W_OK) == 0)
        return 0;
    return errno;
}
