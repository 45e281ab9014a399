#include "TerminalHost.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

namespace kestrel::cli {

namespace {

// Turns terminal echo off for as long as it lives, when `fd` is a terminal.
class EchoOff {
public:
    EchoOff(int fd, bool wanted) : fd_(fd) {
        if (!wanted || !isatty(fd) || tcgetattr(fd, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active_ = tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_)
            tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    bool active() const { return active_; }

private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

}  // namespace

TerminalHost::TerminalHost(FILE* in, FILE* out) : in_(in), out_(out) {}

std::optional<std::string> TerminalHost::readLine(bool secret) {
    EchoOff echo(fileno(in_), secret);
    std::string line;
    int c;
    while ((c = std::fgetc(in_)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (echo.active())
        std::fputc('\n', out_);
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::string> TerminalHost::askText(const std::string& prompt, const std::string& defaultText,
                                                 bool secret) {
    const bool hasDefault = !defaultText.empty() && !secret;
    std::fprintf(out_, "%s", prompt.c_str());
    if (hasDefault)
        std::fprintf(out_, " [%s]", defaultText.c_str());
    std::fprintf(out_, ": ");
    std::fflush(out_);
    auto answer = readLine(secret);
    if (answer && answer->empty() && hasDefault)
        return defaultText;
    return answer;
}

int TerminalHost::askYesNo(const std::string& question) {
    for (;;) {
        std::fprintf(out_, "%s [y]es/[n]o/[a]ll/[c]ancel: ", question.c_str());
        std::fflush(out_);
        const auto line = readLine(false);
        if (!line)
            return KH_CANCEL;
        switch (line->empty() ? 0 : std::tolower(static_cast<unsigned char>((*line)[0]))) {
        case 'y': return KH_YES;
        case 'n': return KH_NO;
        case 'a': return KH_YES_TO_ALL;
        case 'c': return KH_CANCEL;
        default: break;  // ask again
        }
    }
}

std::optional<std::string> TerminalHost::askFile(const std::string& prompt, const std::string& wantedName) {
    std::fprintf(out_, "%s (%s): ", prompt.c_str(), wantedName.c_str());
    std::fflush(out_);
    auto path = readLine(false);
    if (path && path->empty())
        return std::nullopt;
    return path;
}

}  // namespace kestrel::cli
