// Matching names against the wildcard patterns of command lines and FindFirst.
#ifndef KESTREL_ARC_WILDCARD_H
#define KESTREL_ARC_WILDCARD_H

#include <string_view>

namespace kestrel::arc {

class Wildcard {
public:
    // '*' matches any run of characters (also '/'), '?' one character. As users of
    // archivers expect, "*.*" matches every name, with or without a dot. Matching is
    // exact otherwise (Linux names are case-sensitive).
    static bool match(std::string_view pattern, std::string_view name);
};

}  // namespace kestrel::arc

#endif
