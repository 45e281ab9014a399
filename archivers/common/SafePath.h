// Joining an archive entry's name onto a destination folder without ever leaving it.
#ifndef KESTREL_ARC_SAFE_PATH_H
#define KESTREL_ARC_SAFE_PATH_H

#include <string>
#include <string_view>

namespace kestrel::arc {

class SafePath {
public:
    enum class Problem {
        None,
        Empty,        // nothing left of the name
        Absolute,     // "/etc/x", "C:\x", "\\server\x"
        DotDot,       // a ".." component
        BadCharacter, // a NUL byte inside the name
        ThroughLink,  // a folder on the way is a symbolic link (it could lead anywhere)
        LinkOutside,  // a symbolic link whose target lies outside the destination
    };

    // A short Japanese description for reports.
    static const char* describe(Problem problem);

    // Turns an entry name into a clean relative path: '\' becomes '/', empty and "."
    // components are dropped; absolute names and ".." are refused.
    static Problem normalise(std::string_view entryName, std::string& relative);

    // The name without a leading root: drive letters ("C:") and leading '/' or '\'
    // are dropped, as tar does, so that "/Users/x/a.txt" or "\docs\a.txt" lands
    // below the destination. Pass the result to join(); ".." in the rest is still
    // refused there. A result shorter than `entryName` means a root was dropped.
    static std::string_view withoutRoot(std::string_view entryName);
    // The report line, said once per extraction, when withoutRoot() dropped a root.
    static const char* rootDroppedNote() { return "先頭のルート (\"/\" やドライブ名) を除いて展開しました"; }

    // dest (a folder, with or without a trailing '/') + the normalised entry name.
    // Also refuses a name whose existing folders below dest include a symbolic link,
    // since writing through it could land anywhere.
    static Problem join(const std::string& dest, std::string_view entryName, std::string& fullPath,
                        std::string* relative = nullptr);

    // Whether a symbolic link stored at `linkRelative` (a normalised path under the
    // destination) pointing to `target` resolves inside the destination.
    static bool linkStaysInside(std::string_view linkRelative, std::string_view target);

    // dest without trailing slashes ("/" stays "/").
    static std::string folder(const std::string& dest);
};

}  // namespace kestrel::arc

#endif
