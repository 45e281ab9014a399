#include "Wildcard.h"

#include "CommandLine.h"

namespace kestrel::arc {

bool Wildcard::match(std::string_view pattern, std::string_view name) {
    if (CommandLine::isEverything(pattern)) return true;
    // Iterative matcher with one backtrack point: linear in practice, never
    // exponential on hostile patterns such as "*a*a*a*a*b".
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace kestrel::arc
