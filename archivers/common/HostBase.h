// The caller's side of a KestrelHost: a C++ class whose virtual functions answer a
// library's questions. host() is the struct to pass as the window argument; its C
// callbacks land in the virtual functions of this object. The terminal of kestrel-arc,
// the window of the file manager and the tests' scripted host all stand on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ArchiverApi.h"

namespace kestrel::arc {

class HostBase {
public:
    HostBase();
    virtual ~HostBase() = default;
    HostBase(const HostBase&) = delete;
    HostBase& operator=(const HostBase&) = delete;

    // The struct to pass as the window handle; valid as long as this object lives.
    KestrelHost* host() { return &host_; }

protected:
    // One line of text (a new name; a password when `secret`, to be read without
    // echo), or nothing when cancelled. An answer that does not fit the library's
    // buffer counts as cancelled rather than being cut.
    virtual std::optional<std::string> askText(const std::string& prompt,
                                               const std::string& defaultText, bool secret);
    // A KestrelAnswer.
    virtual int askYesNo(const std::string& question);
    // The path of the missing file `wantedName`, or nothing when cancelled.
    virtual std::optional<std::string> askFile(const std::string& prompt, const std::string& wantedName);
    // `done` of `total` bytes of the whole command; false to cancel.
    virtual bool progress(const std::string& name, uint64_t done, uint64_t total);

private:
    static int askTextEntry(void* context, const char* prompt, const char* defaultText, int secret,
                            char* answer, size_t answerSize);
    static int askYesNoEntry(void* context, const char* question);
    static int askFileEntry(void* context, const char* prompt, const char* wantedName, char* path,
                            size_t pathSize);
    static int progressEntry(void* context, const char* name, uint64_t done, uint64_t total);

    KestrelHost host_;
};

}  // namespace kestrel::arc
