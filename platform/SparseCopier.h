#pragma once

#include "platform/ByteCopier.h"

#include <QtGlobal>

#include <functional>

// Copies a range of one file into a fresh (empty) file, skipping the holes of a
// sparse source rather than copying them: the copy reads the same zeros there and
// stays sparse, so a disk image is copied at the speed of its data. The copy's
// length is set at the end, which also covers a range that ends in a hole.
struct SparseCopier {
    // Bytes [offset, offset + size) of `inFd` go to [0, size) of `outFd`.
    // `reached(position)` hears how far in the source the copy has come; a false
    // answer stops it (cancelled).
    static ByteCopier::Result copy(int inFd, qint64 offset, qint64 size, int outFd,
                                   const std::function<bool(qint64 position)>& reached);
};
