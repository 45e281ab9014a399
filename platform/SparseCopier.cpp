#include "platform/SparseCopier.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

// Where the source's next data begins at or after `pos`: `end` when only a hole follows,
// `pos` itself when the file system cannot tell (then everything is copied). A source that
// shrank also looks like "only a hole"; the caller's length check after the copy catches that.
qint64 nextData(int fd, qint64 pos, qint64 end)
{
    const off_t data = ::lseek(fd, off_t(pos), SEEK_DATA);
    if (data >= 0)
        return data;
    return errno == ENXIO ? end : pos;
}

qint64 nextHole(int fd, qint64 pos, qint64 end)
{
    const off_t hole = ::lseek(fd, off_t(pos), SEEK_HOLE);
    return hole > pos ? hole : end;
}

ByteCopier::Result outcome(ByteCopier::Result result, ByteCopier::Outcome how)
{
    result.outcome = how;
    return result;
}

} // namespace

ByteCopier::Result SparseCopier::copy(int inFd, qint64 offset, qint64 size, int outFd,
                                      const std::function<bool(qint64 position)>& reached)
{
    ByteCopier::Result total;
    const qint64 end = offset + size;
    qint64 pos = offset;
    while (pos < end) {
        const qint64 data = std::min(nextData(inFd, pos, end), end);
        if (data > pos) {
            pos = data;
            if (!reached(pos))
                return outcome(total, ByteCopier::Outcome::Cancelled);
            continue;
        }
        const qint64 hole = std::min(nextHole(inFd, pos, end), end);
        const ByteCopier::Result run = ByteCopier::copy(
            inFd, pos, outFd, pos - offset, hole - pos,
            [&](qint64 soFar) { return reached(pos + soFar); });
        total.copied += run.copied;
        if (run.outcome != ByteCopier::Outcome::Done) {
            total.error = run.error;
            return outcome(total, run.outcome);
        }
        pos = hole;
    }
    if (::ftruncate(outFd, off_t(size)) != 0) {
        total.error = errno;
        return outcome(total, ByteCopier::Outcome::Failed);
    }
    total.copied = size;
    return total;
}
