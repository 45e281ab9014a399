// The progress of one library call, reported for the whole command: every entry's
// bytes count toward one total fixed when the command starts, so the caller's bar
// only ever moves forward (see the progress contract in ArchiverApi.h).
#ifndef KESTREL_ARC_COMMAND_PROGRESS_H
#define KESTREL_ARC_COMMAND_PROGRESS_H

#include <cstdint>
#include <string>

#include "Host.h"

namespace kestrel::arc {

class CommandProgress {
public:
    // `total` is the sum of the sizes of every entry the command will work on.
    CommandProgress(const Host& host, uint64_t total) : host_(&host), total_(total) {}

    // Reports `doneInEntry` bytes of the current entry `name`. A report that would
    // run backwards (an entry read twice, to store it after compressing it did not
    // pay) or past the total (a file that grew) is held at the last value.
    // False once the user asked to cancel.
    bool report(const std::string& name, uint64_t doneInEntry);

    // Ends the current entry, whose share of the total was `size` bytes, whether
    // all of it was reported or not (an entry skipped or kept).
    void next(uint64_t size) { base_ += size; }

    uint64_t total() const { return total_; }

private:
    const Host* host_;
    uint64_t total_;
    uint64_t base_ = 0;
    uint64_t last_ = 0;
};

}  // namespace kestrel::arc

#endif
