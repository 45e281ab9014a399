#include "HostBase.h"

#include <cstring>

namespace kestrel::arc {

namespace {

HostBase& self(void* context) { return *static_cast<HostBase*>(context); }

std::string text(const char* s) { return s != nullptr ? s : ""; }

// Copies `value` with its NUL into a caller's buffer; false when it does not fit.
bool copyOut(const std::optional<std::string>& value, char* out, size_t size) {
    if (!value || out == nullptr || value->size() >= size)
        return false;
    std::memcpy(out, value->c_str(), value->size() + 1);
    return true;
}

}  // namespace

HostBase::HostBase() {
    std::memset(&host_, 0, sizeof host_);
    host_.structSize = sizeof host_;
    host_.context = this;
    host_.askText = &HostBase::askTextEntry;
    host_.askYesNo = &HostBase::askYesNoEntry;
    host_.askFile = &HostBase::askFileEntry;
    host_.progress = &HostBase::progressEntry;
}

std::optional<std::string> HostBase::askText(const std::string&, const std::string&, bool) {
    return std::nullopt;
}

int HostBase::askYesNo(const std::string&) { return KH_NO; }

std::optional<std::string> HostBase::askFile(const std::string&, const std::string&) {
    return std::nullopt;
}

bool HostBase::progress(const std::string&, uint64_t, uint64_t) { return true; }

int HostBase::askTextEntry(void* context, const char* prompt, const char* defaultText, int secret,
                           char* answer, size_t answerSize) {
    return copyOut(self(context).askText(text(prompt), text(defaultText), secret != 0), answer, answerSize)
               ? 1
               : 0;
}

int HostBase::askYesNoEntry(void* context, const char* question) {
    return self(context).askYesNo(text(question));
}

int HostBase::askFileEntry(void* context, const char* prompt, const char* wantedName, char* path,
                           size_t pathSize) {
    return copyOut(self(context).askFile(text(prompt), text(wantedName)), path, pathSize) ? 1 : 0;
}

int HostBase::progressEntry(void* context, const char* name, uint64_t done, uint64_t total) {
    return self(context).progress(text(name), done, total) ? 0 : 1;
}

}  // namespace kestrel::arc
