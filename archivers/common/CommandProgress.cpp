#include "CommandProgress.h"

#include <algorithm>

namespace kestrel::arc {

bool CommandProgress::report(const std::string& name, uint64_t doneInEntry) {
    const uint64_t done = std::min(base_ + doneInEntry, total_);
    last_ = std::max(last_, done);
    return host_->progress(name, last_, total_);
}

}  // namespace kestrel::arc
