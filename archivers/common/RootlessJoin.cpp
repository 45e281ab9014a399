#include "RootlessJoin.h"

namespace kestrel::arc {

SafePath::Problem RootlessJoin::operator()(const std::string& dest, std::string_view entryName,
                                           std::string& fullPath, std::string* relative) {
    const std::string_view wanted = SafePath::withoutRoot(entryName);
    if (wanted.size() != entryName.size() && !said_) {
        said_ = true;
        say_(SafePath::rootDroppedNote());
    }
    return SafePath::join(dest, wanted, fullPath, relative);
}

}  // namespace kestrel::arc
