#include "FolderMaker.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "SafePath.h"

namespace kestrel::arc {

bool FolderMaker::makeDestination(const std::string& dest) {
    for (size_t pos = dest.find('/', 1); pos != std::string::npos; pos = dest.find('/', pos + 1))
        ::mkdir(dest.substr(0, pos).c_str(), 0777);
    ::mkdir(dest.c_str(), 0777);
    struct stat st{};
    return ::stat(dest.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

FolderMaker::Outcome FolderMaker::makeBelow(const std::string& dest, const std::string& relative,
                                            Failure& failure) {
    std::string path = dest;
    size_t start = 0;
    while (start < relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos) slash = relative.size();
        path += (path == "/" ? "" : "/") + relative.substr(start, slash - start);
        start = slash + 1;
        if (::mkdir(path.c_str(), 0777) == 0) continue;
        struct stat st{};
        if (errno != EEXIST || ::lstat(path.c_str(), &st) != 0) {
            failure = {path, errno};
            return Outcome::CannotCreate;
        }
        if (S_ISLNK(st.st_mode)) return failure = {path, 0}, Outcome::ThroughLink;
        if (!S_ISDIR(st.st_mode)) return failure = {path, 0}, Outcome::NotAFolder;
    }
    return Outcome::Made;
}

std::string FolderMaker::describe(Outcome outcome, const Failure& failure) {
    switch (outcome) {
    case Outcome::Made:
        return {};
    case Outcome::CannotCreate:
        return "フォルダを作成できません: " + failure.path + " (" + std::strerror(failure.error) + ")";
    case Outcome::ThroughLink:
        return SafePath::describe(SafePath::Problem::ThroughLink);
    case Outcome::NotAFolder:
        return "同じ名前のファイルがフォルダの位置にあります";
    }
    return {};
}

}  // namespace kestrel::arc
