// Where extraction puts an entry, the same in every library: a leading root
// ("/", "\", a drive letter) is dropped and the report told so once per
// extraction; the rest goes through SafePath::join, which refuses "..", links
// on the way and anything else that would leave the destination.
#ifndef KESTREL_ARC_ROOTLESS_JOIN_H
#define KESTREL_ARC_ROOTLESS_JOIN_H

#include <functional>
#include <string>
#include <string_view>

#include "SafePath.h"

namespace kestrel::arc {

class RootlessJoin {
public:
    using Say = std::function<void(const std::string& line)>;

    // `say` takes the report line about a dropped root.
    explicit RootlessJoin(Say say) : say_(std::move(say)) {}

    // A new extraction: its first dropped root is said again.
    void restart() { said_ = false; }

    // SafePath::join(dest, the name without its root, fullPath, relative).
    SafePath::Problem operator()(const std::string& dest, std::string_view entryName, std::string& fullPath,
                                 std::string* relative = nullptr);

private:
    Say say_;
    bool said_ = false;
};

}  // namespace kestrel::arc

#endif
