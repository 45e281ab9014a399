#include "platform/FileDataCopier.h"

#include "platform/ByteCopier.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 sizeOf(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

// The buffer size for comparing a file: its own size (plus one byte, so that
// one read meets the end), at most 1 MiB.
qint64 chunkFor(int fd)
{
    constexpr qint64 most = qint64(1) << 20;
    const qint64 size = sizeOf(fd);
    return std::clamp<qint64>(size < 0 ? most : size + 1, 4096, most);
}

// Files of the kernel's own file systems (/proc, /sys) say they are empty and
// still have text to read: they are read to their end instead.
FileDataCopier::Result copyUnmeasured(int from, int to, const FileDataCopier::Tick& tick)
{
    constexpr qint64 size = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(size_t(size));
    for (qint64 offset = 0;;) {
        const qint64 n = ByteCopier::readAt(from, buffer.get(), size, offset);
        if (n < 0 || (n > 0 && !ByteCopier::writeAt(to, buffer.get(), n, offset)))
            return FileDataCopier::Result::Failed;
        if (n == 0)
            return FileDataCopier::Result::Done;
        offset += n;
        if (!tick(n))
            return FileDataCopier::Result::Stopped;
    }
}

// The whole file from its start as it measures now. A file that shrinks
// while it is copied fails (EIO); one that grows is copied as measured, and
// the comparison that checks a move sees the difference.
FileDataCopier::Result copyWhole(int from, int to, const FileDataCopier::Tick& tick, ByteCopier::Way way)
{
    const qint64 size = sizeOf(from);
    if (size < 0)
        return FileDataCopier::Result::Failed;
    if (size == 0)
        return copyUnmeasured(from, to, tick);
    qint64 reported = 0;
    const ByteCopier::Result result = ByteCopier::copy(from, 0, to, 0, size, [&](qint64 soFar) {
        const qint64 chunk = soFar - reported;
        reported = soFar;
        return tick(chunk);
    }, way);
    switch (result.outcome) {
    case ByteCopier::Outcome::Done: return FileDataCopier::Result::Done;
    case ByteCopier::Outcome::Cancelled: return FileDataCopier::Result::Stopped;
    case ByteCopier::Outcome::Failed: break;
    }
    errno = result.error;
    return FileDataCopier::Result::Failed;
}

} // namespace

FileDataCopier::Result FileDataCopier::copy(int from, int to, const Tick& tick)
{
    // A clone shares the blocks and finishes at once, whatever the size.
    if (::ioctl(to, FICLONE, from) == 0) {
        const off_t size = ::lseek(to, 0, SEEK_END);
        return tick(size > 0 ? size : 0) ? Result::Done : Result::Stopped;
    }
    return copyWhole(from, to, tick, ByteCopier::Way::Fastest);
}

FileDataCopier::Result FileDataCopier::copyByReadWrite(int from, int to, const Tick& tick)
{
    return copyWhole(from, to, tick, ByteCopier::Way::Buffered);
}

FileDataCopier::Result FileDataCopier::compare(int a, int b, const Tick& tick)
{
    const qint64 chunk = chunkFor(a);
    const auto left = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(chunk));
    const auto right = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(chunk));
    qint64 offset = 0;
    for (;;) {
        const qint64 n = ByteCopier::readAt(a, left.get(), chunk, offset);
        const qint64 m = ByteCopier::readAt(b, right.get(), chunk, offset);
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
