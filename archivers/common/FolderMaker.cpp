#include "FolderMaker.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "ArchiverApi.h"
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

bool FolderMaker::makeForEntry(const std::string& dest, const std::string& relative,
                               const std::string& entryName, OutputBuffer& out,
                               const std::function<void(int)>& note) {
    Failure failure;
    const Outcome outcome = makeBelow(dest, relative, failure);
    if (outcome == Outcome::Made)
        return true;
    if (outcome == Outcome::CannotCreate) {
        out.line(describe(outcome, failure));
        note(KA_ERR_WRITE);
    } else {
        out.line("スキップ: " + entryName + " (" + describe(outcome, failure) + ")");
        note(KA_WARN_SKIPPED);
    }
    return false;
}

}  // namespace kestrel::arc
