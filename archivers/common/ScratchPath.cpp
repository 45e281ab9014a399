#include "ScratchPath.h"

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace kestrel::arc {

namespace {

int removeEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }

}  // namespace

ScratchPath::ScratchPath(const std::string& parent, Kind kind) : kind_(kind) {
    std::string pattern = (parent == "/" ? "" : parent) + "/.kes-sfx-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (kind == Kind::Folder) {
        if (::mkdtemp(buf.data())) path_ = buf.data();
        return;
    }
    int fd = ::mkstemp(buf.data());
    if (fd < 0) return;
    ::close(fd);
    path_ = buf.data();
}

ScratchPath::~ScratchPath() {
    if (path_.empty()) return;
    if (kind_ == Kind::Folder)
        ::nftw(path_.c_str(), &removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    else
        ::unlink(path_.c_str());
}

}  // namespace kestrel::arc
