// A null-safe C++ face of the KestrelHost callbacks a caller passes as its window.
#ifndef KESTREL_ARC_HOST_H
#define KESTREL_ARC_HOST_H

#include <cstdint>
#include <optional>
#include <string>

#include "ArchiverApi.h"

namespace kestrel::arc {

class Host {
public:
    // `window` is the KestrelHost* of the C interface, or null (no questions).
    explicit Host(void* window);

    bool interactive() const { return host_ != nullptr; }

    // The user's line of text, or nothing when cancelled or nobody can be asked.
    std::optional<std::string> askText(const std::string& prompt, const std::string& defaultText,
                                       bool secret = false) const;
    // A KestrelAnswer; KH_NO when nobody can be asked.
    int askYesNo(const std::string& question) const;
    // A chosen path, or nothing when cancelled or nobody can be asked.
    std::optional<std::string> askFile(const std::string& prompt, const std::string& wantedName) const;
    // Reports progress; false when the user asked to cancel.
    bool progress(const std::string& name, uint64_t done, uint64_t total) const;

    enum class Overwrite { Replace, Keep, Cancel };
    // Whether to replace the existing file `path`. "Yes to all" is remembered for
    // the life of this object (one library call); no host means Keep.
    Overwrite askOverwrite(const std::string& path);

private:
    template <typename Member>
    bool has(Member KestrelHost::*member) const;

    const KestrelHost* host_;
    bool replaceAll_ = false;
};

}  // namespace kestrel::arc

#endif
