// The short report a command writes into the caller's buffer.
#ifndef KESTREL_ARC_OUTPUT_BUFFER_H
#define KESTREL_ARC_OUTPUT_BUFFER_H

#include <string>
#include <string_view>

namespace kestrel::arc {

class OutputBuffer {
public:
    // `buffer` may be null or `size` 0: then nothing is written anywhere.
    OutputBuffer(char* buffer, unsigned long size);

    // Adds text and a line end. The caller's buffer is kept up to date after every
    // line, always NUL-terminated and cut to its size (never inside a UTF-8
    // character), so whatever happens next the caller reads a valid report.
    void line(std::string_view text);

    // Everything written so far, uncut.
    const std::string& text() const { return text_; }

private:
    void publish();

    char* buffer_;
    unsigned long size_;
    std::string text_;
    size_t published_ = 0;  // bytes of text_ already in the caller's buffer
};

}  // namespace kestrel::arc

#endif
