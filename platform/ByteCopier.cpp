#include "platform/ByteCopier.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <unistd.h>

namespace {

std::atomic<bool> kernelCopyAllowed{true};

// Errors of copy_file_range that mean "not possible between these two", not "the disk failed":
// the caller then moves the same bytes through a buffer instead.
bool meansUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
        || error == ENOTSUP || error == EBADF || error == ETXTBSY || error == EPERM
        || error == ESPIPE;
}

// One step of the kernel copy: the bytes moved, 0 at the source's end, -1 with errno set.
qint64 kernelStep(int inFd, qint64& inOffset, int outFd, qint64& outOffset, qint64 want)
{
    off_t in = off_t(inOffset);
    off_t out = off_t(outOffset);
    ssize_t n;
    do {
        n = ::copy_file_range(inFd, &in, outFd, &out, size_t(want), 0);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        inOffset = in;
        outOffset = out;
    }
    return n;
}

// Pipes and other stream descriptors refuse pread; they are read and written in order.
bool isSeekable(int fd)
{
    return ::lseek(fd, 0, SEEK_CUR) >= 0;
}

// Reads up to `want` bytes, going on after short reads: at `offset` from a
// seekable descriptor, in order from a stream. The count read (less only at
// the end), or -1.
ssize_t readFully(int fd, char* buffer, qint64 want, qint64 offset, bool seekable)
{
    qint64 got = 0;
    while (got < want) {
        const size_t size = size_t(want - got);
        const ssize_t n = seekable ? ::pread(fd, buffer + got, size, off_t(offset + got))
                                   : ::read(fd, buffer + got, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return ssize_t(got);
}

// Writes all `count` bytes, at `offset` or in order; false with errno set.
bool writeFully(int fd, const char* buffer, qint64 count, qint64 offset, bool seekable)
{
    qint64 done = 0;
    while (done < count) {
        const size_t size = size_t(count - done);
        const ssize_t n = seekable ? ::pwrite(fd, buffer + done, size, off_t(offset + done))
                                   : ::write(fd, buffer + done, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

class Copy {
public:
    Copy(int inFd, qint64 inOffset, int outFd, qint64 outOffset, qint64 length,
         const std::function<bool(qint64)>& chunkDone)
        : inFd_(inFd), inOffset_(inOffset), outFd_(outFd), outOffset_(outOffset),
          length_(length), chunkDone_(chunkDone)
    {
    }

    ByteCopier::Result run(ByteCopier::Way way)
    {
        bool useKernel = way == ByteCopier::Way::Fastest && kernelCopyAllowed.load();
        while (result_.copied < length_) {
            qint64 chunk = std::min(ByteCopier::kChunk, length_ - result_.copied);
            qint64 left = useKernel ? kernelChunk(chunk, useKernel) : chunk;
            if (left < 0)
                return result_;
            if (left > 0 && !bufferedChunk(left))
                return result_;
            if (chunkDone_ && !chunkDone_(result_.copied)) {
                result_.outcome = ByteCopier::Outcome::Cancelled;
                return result_;
            }
        }
        return result_;
    }

private:
    // Moves up to `chunk` bytes with copy_file_range; answers the bytes of the chunk still to be
    // moved, or -1 after a failure. When the kernel cannot copy between these descriptors, or
    // says "end of file" (some file systems answer 0 where data exists), it clears `useKernel`
    // and leaves the rest to the buffered loop, which then tells a real early end apart.
    qint64 kernelChunk(qint64 chunk, bool& useKernel)
    {
        qint64 done = 0;
        while (done < chunk) {
            qint64 n = kernelStep(inFd_, inOffset_, outFd_, outOffset_, chunk - done);
            if (n < 0 && !meansUnsupported(errno)) {
                fail(errno);
                return -1;
            }
            if (n <= 0) {
                useKernel = false;
                return chunk - done;
            }
            done += n;
            result_.copied += n;
        }
        return 0;
    }

    bool bufferedChunk(qint64 chunk)
    {
        if (!buffer_) {
            // Sized to what is left and not zero-filled: copying many small files
            // then costs no megabyte allocations each.
            bufferSize_ = std::clamp<qint64>(length_ - result_.copied, 1, ByteCopier::kBuffer);
            buffer_ = std::make_unique_for_overwrite<char[]>(size_t(bufferSize_));
            inSeekable_ = isSeekable(inFd_);
            outSeekable_ = isSeekable(outFd_);
        }
        qint64 done = 0;
        while (done < chunk) {
            qint64 want = std::min(bufferSize_, chunk - done);
            ssize_t got = readFully(inFd_, buffer_.get(), want, inOffset_, inSeekable_);
            if (got < 0)
                return fail(errno);
            if (got > 0 && !writeFully(outFd_, buffer_.get(), got, outOffset_, outSeekable_))
                return fail(errno);
            inOffset_ += got;
            outOffset_ += got;
            done += got;
            result_.copied += got;
            if (got < want)
                return fail(EIO);
        }
        return true;
    }

    bool fail(int error)
    {
        result_.outcome = ByteCopier::Outcome::Failed;
        result_.error = error ? error : EIO;
        return false;
    }

    int inFd_;
    qint64 inOffset_;
    int outFd_;
    qint64 outOffset_;
    qint64 length_;
    const std::function<bool(qint64)>& chunkDone_;
    ByteCopier::Result result_;
    std::unique_ptr<char[]> buffer_;
    qint64 bufferSize_ = 0;
    bool inSeekable_ = true;
    bool outSeekable_ = true;
};

} // namespace

ByteCopier::Result ByteCopier::copy(int inFd, qint64 inOffset, int outFd, qint64 outOffset,
                                    qint64 length,
                                    const std::function<bool(qint64 copiedSoFar)>& chunkDone,
                                    Way way)
{
    if (length <= 0)
        return {};
    return Copy(inFd, inOffset, outFd, outOffset, length, chunkDone).run(way);
}

qint64 ByteCopier::readAt(int fd, char* buffer, qint64 want, qint64 offset)
{
    return readFully(fd, buffer, want, offset, true);
}

bool ByteCopier::writeAt(int fd, const char* buffer, qint64 count, qint64 offset)
{
    return writeFully(fd, buffer, count, offset, true);
}

void ByteCopier::setKernelCopyAllowed(bool allowed)
{
    kernelCopyAllowed.store(allowed);
}
