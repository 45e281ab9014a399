#pragma once

#include "platform/ByteCopier.h"

#include <QtGlobal>
#include <functional>

// Moves the bytes of one whole open file into another, as fast as the file
// systems allow: a reflink clone where both sides share one copy-on-write
// volume, else ByteCopier (copy_file_range, server-side on network volumes,
// else a read/write loop through one buffer). Memory use does not grow with
// the file.
class FileDataCopier {
public:
    enum class Result { Done, Failed, Stopped };

    // Called after every chunk with the bytes of that chunk; returning false
    // stops the copy.
    using Tick = std::function<bool(qint64 bytes)>;

    // The most bytes one tick reports.
    static constexpr qint64 kChunk = ByteCopier::kChunk;

    // Copies from the start of `from` to its end into `to` (empty, at offset 0).
    // errno tells why on Failed.
    static Result copy(int from, int to, const Tick& tick);

    // Whether both files hold the same bytes, read from their starts; Failed
    // when they differ or cannot be read. Ticks as copy() does.
    static Result compare(int a, int b, const Tick& tick);

    // The plain loop alone: what copy() falls back to between file systems
    // that share no faster way.
    static Result copyByReadWrite(int from, int to, const Tick& tick);
};
