// What one library call carries through its command: the host, the report, and
// the result that the call returns.
#ifndef KESTREL_LZH_COMMAND_CONTEXT_H
#define KESTREL_LZH_COMMAND_CONTEXT_H

#include <string>

#include "ArchiverApi.h"
#include "Host.h"
#include "OutputBuffer.h"

namespace kestrel::lzh {

class CommandContext {
public:
    CommandContext(void* window, char* output, unsigned long outputSize)
        : host(window), output_(output, outputSize) {}

    arc::Host host;

    // Names from headers may hold NUL bytes, which would end the report early.
    void line(std::string text) {
        for (char& c : text)
            if (c == '\0') c = '?';
        output_.line(text);
    }

    // Records an outcome: the first error wins over everything, a warning only over
    // success, so a call that skipped something never reports plain success.
    void note(int code) {
        if (code == KA_OK) return;
        bool isError = code >= 0x8000;
        bool haveError = result_ >= 0x8000;
        if (isError && !haveError) result_ = code;
        if (!isError && result_ == KA_OK) result_ = code;
    }
    // Records a failure with its line in the report and returns the result so far.
    int fail(int code, const std::string& text) {
        line(text);
        note(code);
        return result_;
    }
    int result() const { return result_; }

private:
    arc::OutputBuffer output_;
    int result_ = KA_OK;
};

}  // namespace kestrel::lzh

#endif
