// Small pieces of '/'-separated path text that every library needs.
#ifndef KESTREL_ARC_PATH_TEXT_H
#define KESTREL_ARC_PATH_TEXT_H

#include <string>
#include <sys/types.h>

namespace kestrel::arc {

class PathText {
public:
    // The last component, trailing slashes ignored ("a/b/" gives "b").
    static std::string lastComponent(const std::string& path);

    // Everything before the last '/', or "" when there is none.
    static std::string parentOf(const std::string& relative);

    // The process's file-creation mask. umask() can only be read by setting it,
    // so it is put straight back.
    static mode_t currentUmask();
};

}  // namespace kestrel::arc

#endif
