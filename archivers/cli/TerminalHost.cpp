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

TerminalHost::TerminalHost(FILE* in, FILE* out) : in_(in), out_(out) {
    std::memset(&host_, 0, sizeof host_);
    host_.structSize = sizeof host_;
    host_.context = this;
    host_.askText = &TerminalHost::askText;
    host_.askYesNo = &TerminalHost::askYesNo;
    host_.askFile = &TerminalHost::askFile;
    host_.progress = nullptr;
}

bool TerminalHost::readLine(char* buffer, size_t size, bool secret) {
    if (size == 0)
        return false;
    EchoOff echo(fileno(in_), secret);
    if (std::fgets(buffer, static_cast<int>(size), in_) == nullptr) {
        buffer[0] = '\0';
        return false;
    }
    if (echo.active())
        std::fputc('\n', out_);
    const size_t len = std::strlen(buffer);
    if (len > 0 && buffer[len - 1] != '\n' && !std::feof(in_)) {
        // Longer than the caller can hold: drop the rest so it does not answer the
        // next question.
        int c;
        while ((c = std::fgetc(in_)) != EOF && c != '\n') {
        }
    }
    buffer[std::strcspn(buffer, "\r\n")] = '\0';
    return true;
}

int TerminalHost::askText(void* context, const char* prompt, const char* defaultText, int secret,
                          char* answer, size_t answerSize) {
    auto* self = static_cast<TerminalHost*>(context);
    if (answer == nullptr || answerSize == 0)
        return 0;
    const bool hasDefault = defaultText != nullptr && defaultText[0] != '\0';
    std::fprintf(self->out_, "%s", prompt ? prompt : "");
    if (hasDefault && !secret)
        std::fprintf(self->out_, " [%s]", defaultText);
    std::fprintf(self->out_, ": ");
    std::fflush(self->out_);
    if (!self->readLine(answer, answerSize, secret != 0))
        return 0;
    if (answer[0] == '\0' && hasDefault && !secret) {
        std::strncpy(answer, defaultText, answerSize - 1);
        answer[answerSize - 1] = '\0';
    }
    return 1;
}

int TerminalHost::askYesNo(void* context, const char* question) {
    auto* self = static_cast<TerminalHost*>(context);
    char line[64];
    for (;;) {
        std::fprintf(self->out_, "%s [y]es/[n]o/[a]ll/[c]ancel: ", question ? question : "");
        std::fflush(self->out_);
        if (!self->readLine(line, sizeof line, false))
            return KH_CANCEL;
        switch (std::tolower(static_cast<unsigned char>(line[0]))) {
        case 'y': return KH_YES;
        case 'n': return KH_NO;
        case 'a': return KH_YES_TO_ALL;
        case 'c': return KH_CANCEL;
        default: break;  // ask again
        }
    }
}

int TerminalHost::askFile(void* context, const char* prompt, const char* wantedName, char* path,
                          size_t pathSize) {
    auto* self = static_cast<TerminalHost*>(context);
    std::fprintf(self->out_, "%s (%s): ", prompt ? prompt : "", wantedName ? wantedName : "");
    std::fflush(self->out_);
    if (path == nullptr || !self->readLine(path, pathSize, false) || path[0] == '\0')
        return 0;
    return 1;
}

}  // namespace kestrel::cli
