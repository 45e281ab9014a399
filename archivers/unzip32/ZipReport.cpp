#include "ZipReport.h"

namespace kestrel::zip {

void ZipReport::line(std::string_view text) {
    if (lines_ > 0)
        pending_ += '\n';
    pending_.append(text);
    if (++lines_ >= kBatch)
        flush();
}

void ZipReport::flush() {
    if (lines_ == 0)
        return;
    out_.line(pending_);  // adds the final line end
    pending_.clear();
    lines_ = 0;
}

}  // namespace kestrel::zip
