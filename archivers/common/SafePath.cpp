#include "SafePath.h"

#include <sys/stat.h>

#include <vector>

namespace kestrel::arc {

namespace {

std::vector<std::string> splitComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

bool looksAbsolute(std::string_view name) {
    if (name.empty()) return false;
    if (name[0] == '/' || name[0] == '\\') return true;
    // A drive letter ("C:", "C:\x") means a Windows absolute or drive-relative name.
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return true;
    return false;
}

}  // namespace

const char* SafePath::describe(Problem problem) {
    switch (problem) {
        case Problem::None: return "";
        case Problem::Empty: return "名前が空です";
        case Problem::Absolute: return "絶対パスは展開しません";
        case Problem::DotDot: return "\"..\" を含む名前は展開しません";
        case Problem::BadCharacter: return "名前に使えない文字があります";
        case Problem::ThroughLink: return "シンボリックリンクを経由する名前は展開しません";
        case Problem::LinkOutside: return "展開先の外を指すリンクは展開しません";
    }
    return "";
}

std::string_view SafePath::withoutRoot(std::string_view entryName) {
    // "C:\x", "\\server\share\x", "/C:/x": repeat until neither is left.
    while (looksAbsolute(entryName)) {
        if (entryName[0] == '/' || entryName[0] == '\\')
            entryName.remove_prefix(1);
        else
            entryName.remove_prefix(2);  // the drive letter and its colon
    }
    return entryName;
}

SafePath::Problem SafePath::normalise(std::string_view entryName, std::string& relative) {
    relative.clear();
    if (entryName.find('\0') != std::string_view::npos) return Problem::BadCharacter;
    if (looksAbsolute(entryName)) return Problem::Absolute;
    for (const std::string& part : splitComponents(entryName)) {
        if (part == ".") continue;
        if (part == "..") return Problem::DotDot;
        if (!relative.empty()) relative += '/';
        relative += part;
    }
    return relative.empty() ? Problem::Empty : Problem::None;
}

std::string SafePath::folder(const std::string& dest) {
    std::string f = dest;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    if (f.empty()) f = ".";
    return f;
}

SafePath::Problem SafePath::join(const std::string& dest, std::string_view entryName,
                                 std::string& fullPath, std::string* relativeOut) {
    std::string relative;
    Problem problem = normalise(entryName, relative);
    if (problem != Problem::None) return problem;
    std::string base = folder(dest);
    std::string prefix = base == "/" ? "" : base;
    // Every folder on the way that already exists must be a real folder: a link
    // planted by an earlier entry (or by anyone) must not carry us elsewhere.
    size_t pos = 0;
    while ((pos = relative.find('/', pos)) != std::string::npos) {
        std::string partial = prefix + "/" + relative.substr(0, pos);
        struct stat st;
        if (lstat(partial.c_str(), &st) != 0) break;  // the rest does not exist yet
        if (S_ISLNK(st.st_mode)) return Problem::ThroughLink;
        ++pos;
    }
    fullPath = prefix + "/" + relative;
    if (relativeOut) *relativeOut = relative;
    return Problem::None;
}

bool SafePath::linkStaysInside(std::string_view linkRelative, std::string_view target) {
    if (target.empty() || looksAbsolute(target)) return false;
    std::vector<std::string> where = splitComponents(linkRelative);
    if (!where.empty()) where.pop_back();  // the link's own name; resolve from its folder
    for (const std::string& part : splitComponents(target)) {
        if (part == ".") continue;
        if (part == "..") {
            if (where.empty()) return false;
            where.pop_back();
        } else {
            where.push_back(part);
        }
    }
    return true;
}

}  // namespace kestrel::arc
