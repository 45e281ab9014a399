#include "platform/FileDataCopier.h"

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Reads up to `size` bytes at `offset`, going on after short reads; the count
// read (less only at the end of the file), or -1.
qint64 readFull(int fd, char* data, qint64 size, qint64 offset)
{
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, data + got, static_cast<size_t>(size - got), offset + got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

// The buffer size for a file: its own size (plus one byte, so that one read
// meets the end), at most a chunk. Copying many small files then costs no
// megabyte-sized allocations each.
qint64 chunkFor(int fd)
{
    struct stat st {};
    const qint64 size = ::fstat(fd, &st) == 0 ? st.st_size : FileDataCopier::kChunk;
    return std::clamp<qint64>(size + 1, 4096, FileDataCopier::kChunk);
}

// copy_file_range refuses for these reasons when it cannot work between the
// two files at all; the plain loop then does the work.
bool rangeCopyUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
        || error == EBADF || error == EPERM;
}

} // namespace

FileDataCopier::Result FileDataCopier::copy(int from, int to, const Tick& tick)
{
    // A clone shares the blocks and finishes at once, whatever the size.
    if (::ioctl(to, FICLONE, from) == 0) {
        const off_t size = ::lseek(to, 0, SEEK_END);
        return tick(size > 0 ? size : 0) ? Result::Done : Result::Stopped;
    }

    qint64 offset = 0;
    for (;;) {
        loff_t in = offset;
        loff_t out = offset;
        const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<size_t>(kChunk), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // Before the first byte the loop can take over cleanly; later the
            // error is real.
            if (offset == 0 && rangeCopyUnsupported(errno))
                return copyByReadWrite(from, to, tick);
            return Result::Failed;
        }
        if (n == 0) {
            // Some file systems (proc, some FUSE) report nothing through
            // copy_file_range although read() gives data: let the loop look.
            if (offset == 0)
                return copyByReadWrite(from, to, tick);
            return Result::Done;
        }
        offset += n;
        if (!tick(n))
            return Result::Stopped;
    }
}

FileDataCopier::Result FileDataCopier::copyByReadWrite(int from, int to, const Tick& tick)
{
    const qint64 chunk = chunkFor(from);
    const auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(chunk));
    qint64 offset = 0;
    if (::lseek(to, 0, SEEK_SET) < 0)
        return Result::Failed;
    for (;;) {
        const qint64 n = readFull(from, buffer.get(), chunk, offset);
        if (n < 0)
            return Result::Failed;
        if (n == 0)
            return Result::Done;
        if (!writeAll(to, buffer.get(), n))
            return Result::Failed;
        offset += n;
        if (!tick(n))
            return Result::Stopped;
        if (n < chunk)
            return Result::Done;
    }
}

FileDataCopier::Result FileDataCopier::compare(int a, int b, const Tick& tick)
{
    const qint64 chunk = chunkFor(a);
    const auto left = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(chunk));
    const auto right = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(chunk));
    qint64 offset = 0;
    for (;;) {
        const qint64 n = readFull(a, left.get(), chunk, offset);
        const qint64 m = readFull(b, right.get(), chunk, offset);
        if (n < 0 || m < 0)
            return Result::Failed;
        if (n != m || std::memcmp(left.get(), right.get(), static_cast<size_t>(n)) != 0) {
            errno = EIO;
            return Result::Failed;
        }
        if (n == 0)
            return Result::Done;
        offset += n;
        if (!tick(0))
            return Result::Stopped;
        if (n < chunk)
            return Result::Done;
    }
}
