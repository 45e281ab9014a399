#include "TargetList.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "Wildcard.h"

namespace kestrel::arc {

namespace {

struct Walker {
    std::string base;  // without trailing '/', empty when none
    TargetList::Options options;
    std::vector<Target>& out;
    std::vector<std::string>& problems;
    std::map<std::string, std::string> seen;  // stored name -> disk path

    std::string storedNameFor(const std::string& diskPath) const {
        if (!options.keepPaths) {
            size_t slash = diskPath.rfind('/');
            return slash == std::string::npos ? diskPath : diskPath.substr(slash + 1);
        }
        if (!base.empty() && diskPath.size() > base.size() + 1 &&
            diskPath.compare(0, base.size(), base) == 0 && diskPath[base.size()] == '/')
            return withoutDots(diskPath.substr(base.size() + 1));
        return withoutDots(diskPath);
    }

    // A stored name never holds "." or ".." parts: "a/../b" is stored as "b", and a
    // ".." with nothing left to undo is dropped ("../x" is stored as "x"), since
    // other tools would follow it out of their destination.
    static std::string withoutDots(const std::string& path) {
        std::vector<std::string> parts;
        std::string part;
        for (char c : path + "/") {
            if (c != '/') {
                part += c;
                continue;
            }
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        }
        std::string name;
        for (const std::string& p : parts) name += (name.empty() ? "" : "/") + p;
        return name;
    }

    void add(const std::string& diskPath, bool isDirectory) {
        std::string stored = storedNameFor(diskPath);
        if (stored.empty() || stored == ".") return;
        // Without stored paths a folder entry would only be a lone name: leave it out.
        if (isDirectory && !options.keepPaths) return;
        auto [it, fresh] = seen.emplace(stored, diskPath);
        if (!fresh) {
            // Two different files under one stored name: only the first can be kept.
            if (it->second != diskPath) problems.push_back(diskPath + ": 同じ名前 " + stored + " が既にあるため格納しません");
            return;
        }
        out.push_back(Target{diskPath, stored, isDirectory});
    }

    static std::vector<std::string> sortedNames(const std::string& dir, bool& ok) {
        std::vector<std::string> names;
        DIR* d = opendir(dir.c_str());
        ok = d != nullptr;
        if (!d) return names;
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
        std::sort(names.begin(), names.end());
        return names;
    }

    // The entries of folder `dir` whose names match `pattern`.
    void walk(const std::string& dir, const std::string& pattern) {
        bool ok;
        std::vector<std::string> names = sortedNames(dir, ok);
        if (!ok) {
            problems.push_back(dir + ": フォルダを読めません");
            return;
        }
        for (const std::string& name : names) {
            std::string path = (dir == "/" ? "" : dir) + "/" + name;
            struct stat st;
            if (stat(path.c_str(), &st) != 0) {
                problems.push_back(path + ": 読めません");
                continue;
            }
            struct stat lst;
            bool isLink = lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
            if (S_ISDIR(st.st_mode)) {
                if (!options.recurse || isLink) continue;
                add(path, true);
                walk(path, pattern);
            } else if (S_ISREG(st.st_mode)) {
                if (Wildcard::match(pattern, name)) add(path, false);
            } else {
                problems.push_back(path + ": 特殊なファイルは格納しません");
            }
        }
    }

    void target(std::string t) {
        for (char& c : t)
            if (c == '\\') c = '/';
        std::string path = t;
        if (path.empty() || path[0] != '/') path = (base.empty() ? "." : base) + "/" + path;
        // A wildcard in the last component: the folder before it, filtered.
        size_t slash = path.rfind('/');
        std::string last = path.substr(slash + 1);
        std::string dir = slash == 0 ? "/" : path.substr(0, slash);
        if (last.find_first_of("*?") != std::string::npos) {
            struct stat st;
            if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                problems.push_back(t + ": フォルダがありません");
                return;
            }
            // The folder a user picked is stored itself, not only what lies below it:
            // otherwise a picked empty folder would vanish from the archive. The base
            // folder is where names start, so it is never an entry.
            if (options.recurse && dir != base) add(dir, true);
            walk(dir, last);
            return;
        }
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            problems.push_back(t + ": 見つかりません");
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            add(path, true);
            walk(path, "*");
        } else if (S_ISREG(st.st_mode)) {
            add(path, false);
        } else {
            problems.push_back(t + ": 特殊なファイルは格納しません");
        }
    }
};

}  // namespace

void TargetList::expand(const std::string& base, const std::vector<std::string>& targets,
                        const Options& options, std::vector<Target>& out,
                        std::vector<std::string>& problems) {
    std::string cleanBase = base;
    for (char& c : cleanBase)
        if (c == '\\') c = '/';
    while (cleanBase.size() > 1 && cleanBase.back() == '/') cleanBase.pop_back();
    Walker walker{cleanBase, options, out, problems, {}};
    for (const Target& t : out) walker.seen.emplace(t.storedName, t.diskPath);
    for (const std::string& t : targets) walker.target(t);
}

}  // namespace kestrel::arc
