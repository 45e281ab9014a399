#include "platform/CopyJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Gives a folder the copy made its owner's full rights again. A finished
// folder has its source's mode, perhaps read-only, and what it holds could
// not be removed otherwise. Opened without following links, so a link put in
// its place is left alone.
void makeRemovable(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fchmod(fd, 0700);
    ::close(fd);
}

} // namespace

void CopyJournal::created(const std::string& path, bool isFolder)
{
    entries_.push_back({path, isFolder});
}

void CopyJournal::rollback()
{
    for (const Entry& entry : entries_) {
        if (entry.isFolder)
            makeRemovable(entry.path);
    }
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->isFolder)
            ::rmdir(it->path.c_str());
        else
            ::unlink(it->path.c_str());
    }
    entries_.clear();
}
