#include "OutputBuffer.h"

#include <cstring>

namespace kestrel::arc {

OutputBuffer::OutputBuffer(char* buffer, unsigned long size) : buffer_(buffer), size_(size) {
    if (buffer_ && size_ > 0) buffer_[0] = '\0';
}

void OutputBuffer::line(std::string_view text) {
    text_.append(text);
    text_ += '\n';
    publish();
}

void OutputBuffer::publish() {
    if (!buffer_ || size_ == 0) return;
    size_t n = text_.size();
    if (n > size_ - 1) {
        n = size_ - 1;
        // Step back over UTF-8 continuation bytes so no character is cut in half.
        while (n > 0 && (static_cast<unsigned char>(text_[n]) & 0xC0) == 0x80) --n;
    }
    // The text only grows, so only the bytes added since the last line are copied:
    // a report of many lines costs its length, not its length squared.
    if (n <= published_) return;
    std::memcpy(buffer_ + published_, text_.data() + published_, n - published_);
    buffer_[n] = '\0';
    published_ = n;
}

}  // namespace kestrel::arc
