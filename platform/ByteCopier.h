#pragma once

#include <QtGlobal>

#include <functional>

// Copies bytes between open file descriptors at the disk's speed with constant memory:
// copy_file_range first, a read/write loop with one reusable buffer (up to 1 MiB) where
// that is not supported (EXDEV, EINVAL, ENOSYS, EOPNOTSUPP...). Works in chunks of at most
// 1 MiB, a tenth of a second on a slow stick, so that Cancel is heard at once, and calls
// `chunkDone(bytesCopiedSoFar)` after each; a false answer stops the copy (cancelled).
//
// Offsets are explicit (pread/pwrite style): the descriptors' own file positions are neither
// used nor moved, so one source descriptor can feed many parts without seeking.
struct ByteCopier {
    enum class Outcome { Done, Cancelled, Failed };
    struct Result {
        Outcome outcome = Outcome::Done;
        qint64 copied = 0;
        int error = 0; // errno of the failure; EIO when the source ended early
    };

    static constexpr qint64 kChunk = qint64(1) << 20;
    static constexpr qint64 kBuffer = qint64(1) << 20;

    // Fastest: the kernel copy where it works. Buffered: the read/write loop alone.
    enum class Way { Fastest, Buffered };

    static Result copy(int inFd, qint64 inOffset, int outFd, qint64 outOffset, qint64 length,
                       const std::function<bool(qint64 copiedSoFar)>& chunkDone,
                       Way way = Way::Fastest);

    // Reads up to `want` bytes at `offset`, going on after short reads: the count
    // read (less only at the end of the file), or -1 with errno set.
    static qint64 readAt(int fd, char* buffer, qint64 want, qint64 offset);
    // Writes all `count` bytes at `offset`; false with errno set.
    static bool writeAt(int fd, const char* buffer, qint64 count, qint64 offset);

    // Tests force the read/write loop with this, to prove both paths give the same bytes.
    static void setKernelCopyAllowed(bool allowed);
};
