#pragma once

#include <string>
#include <vector>

// What one copy has created so far, so that a cancelled or failed copy can
// take it all back: entries are removed newest first, which empties each
// folder before the folder itself goes. Entries that existed before the copy
// (a replaced file, a folder merged into) are never recorded, so a rollback
// cannot remove anything the user had.
class CopyJournal {
public:
    void created(const std::string& path, bool isFolder);
    // Removes every recorded entry; what cannot be removed is left in place.
    void rollback();
    bool empty() const { return entries_.empty(); }

private:
    struct Entry {
        std::string path;
        bool isFolder;
    };
    std::vector<Entry> entries_;
};
