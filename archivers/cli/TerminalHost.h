// A KestrelHost that asks a person on the terminal: questions go to stderr, answers
// come from stdin (passwords without echo when stdin is a terminal).
#pragma once

#include <cstdio>

#include "../common/ArchiverApi.h"

namespace kestrel::cli {

class TerminalHost {
public:
    TerminalHost(FILE* in = stdin, FILE* out = stderr);

    // The struct to pass as the window handle; valid as long as this object lives.
    KestrelHost* host() { return &host_; }

private:
    static int askText(void* context, const char* prompt, const char* defaultText, int secret,
                       char* answer, size_t answerSize);
    static int askYesNo(void* context, const char* question);
    static int askFile(void* context, const char* prompt, const char* wantedName, char* path,
                       size_t pathSize);

    // Reads one line without its line end; false at end of input.
    bool readLine(char* buffer, size_t size, bool secret);

    FILE* in_;
    FILE* out_;
    KestrelHost host_;
};

}  // namespace kestrel::cli
