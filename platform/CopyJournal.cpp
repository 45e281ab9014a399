#include "platform/CopyJournal.h"

#include <unistd.h>

void CopyJournal::created(const std::string& path, bool isFolder)
{
    entries_.push_back({path, isFolder});
}

void CopyJournal::rollback()
{
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->isFolder)
            ::rmdir(it->path.c_str());
        else
            ::unlink(it->path.c_str());
    }
    entries_.clear();
}
