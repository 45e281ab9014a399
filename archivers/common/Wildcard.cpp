#include "Wildcard.h"

#include "CommandLine.h"

namespace kestrel::arc {

namespace {

// The length in bytes of the character at `at`: a whole UTF-8 sequence, or one
// byte where the bytes are not valid UTF-8 (a name from an old archive).
size_t characterLength(std::string_view name, size_t at) {
    const auto lead = static_cast<unsigned char>(name[at]);
    const size_t wanted = lead >= 0xF0 && lead <= 0xF7 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t n = 1;
    while (n < wanted && at + n < name.size() && (static_cast<unsigned char>(name[at + n]) & 0xC0) == 0x80) ++n;
    return n == wanted ? n : 1;
}

}  // namespace

bool Wildcard::match(std::string_view pattern, std::string_view name) {
    if (CommandLine::isEverything(pattern)) return true;
    // Iterative matcher with one backtrack point: linear in practice, never
    // exponential on hostile patterns such as "*a*a*a*a*b". '?' and the star's
    // steps take whole characters, so "?.txt" matches "あ.txt".
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += characterLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starN += characterLength(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace kestrel::arc
