#include "Host.h"

#include <cstddef>
#include <vector>

namespace kestrel::arc {

Host::Host(void* window) : host_(static_cast<const KestrelHost*>(window)) {
    // A struct too small to hold even the first member cannot be trusted at all.
    if (host_ && host_->structSize < offsetof(KestrelHost, askText) + sizeof(host_->askText))
        host_ = nullptr;
}

// A callback is usable when the caller's struct is big enough to hold it (older,
// smaller structs stay valid as members are added) and it is set.
template <typename Member>
bool Host::has(Member KestrelHost::*member) const {
    if (!host_) return false;
    const auto* base = reinterpret_cast<const char*>(host_);
    const auto* field = reinterpret_cast<const char*>(&(host_->*member));
    if (static_cast<size_t>(field - base) + sizeof(Member) > host_->structSize) return false;
    return host_->*member != nullptr;
}

std::optional<std::string> Host::askText(const std::string& prompt, const std::string& defaultText,
                                         bool secret) const {
    if (!has(&KestrelHost::askText)) return std::nullopt;
    std::vector<char> answer(4096, '\0');
    if (!host_->askText(host_->context, prompt.c_str(), defaultText.c_str(), secret ? 1 : 0,
                        answer.data(), answer.size()))
        return std::nullopt;
    answer.back() = '\0';  // never trust the callee to terminate
    return std::string(answer.data());
}

int Host::askYesNo(const std::string& question) const {
    if (!has(&KestrelHost::askYesNo)) return KH_NO;
    int answer = host_->askYesNo(host_->context, question.c_str());
    if (answer != KH_YES && answer != KH_NO && answer != KH_YES_TO_ALL && answer != KH_CANCEL)
        return KH_NO;
    return answer;
}

std::optional<std::string> Host::askFile(const std::string& prompt, const std::string& wantedName) const {
    if (!has(&KestrelHost::askFile)) return std::nullopt;
    std::vector<char> path(4096, '\0');
    if (!host_->askFile(host_->context, prompt.c_str(), wantedName.c_str(), path.data(), path.size()))
        return std::nullopt;
    path.back() = '\0';
    return std::string(path.data());
}

bool Host::progress(const std::string& name, uint64_t done, uint64_t total) const {
    if (!has(&KestrelHost::progress)) return true;
    return host_->progress(host_->context, name.c_str(), done, total) == 0;
}

Host::Overwrite Host::askOverwrite(const std::string& path) {
    if (replaceAll_) return Overwrite::Replace;
    switch (askYesNo(path + " は既に存在します。上書きしますか?")) {
        case KH_YES:
            return Overwrite::Replace;
        case KH_YES_TO_ALL:
            replaceAll_ = true;
            return Overwrite::Replace;
        case KH_CANCEL:
            return Overwrite::Cancel;
        default:
            return Overwrite::Keep;
    }
}

}  // namespace kestrel::arc
