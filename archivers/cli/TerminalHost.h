// A KestrelHost that asks a person on the terminal: questions go to stderr, answers
// come from stdin (passwords without echo when stdin is a terminal).
#pragma once

#include <cstdio>

#include "HostBase.h"

namespace kestrel::cli {

class TerminalHost : public arc::HostBase {
public:
    TerminalHost(FILE* in = stdin, FILE* out = stderr);

protected:
    std::optional<std::string> askText(const std::string& prompt, const std::string& defaultText,
                                       bool secret) override;
    int askYesNo(const std::string& question) override;
    std::optional<std::string> askFile(const std::string& prompt, const std::string& wantedName) override;

private:
    // Reads one line without its line end; nothing at end of input.
    std::optional<std::string> readLine(bool secret);

    FILE* in_;
    FILE* out_;
};

}  // namespace kestrel::cli
