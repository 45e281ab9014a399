// Helpers shared by the ZIP and front-end tests: a scratch folder, file reading, and
// the call of the library.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ArchiverApi.h"
#include "ScriptedHost.h"

namespace kestrel::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& data);
bool exists(const std::string& path);  // without following a final link
// Every name below `folder` (relative, sorted), folders with a trailing '/'.
std::vector<std::string> listTree(const std::string& folder);

// Runs UnZip with a buffer of `size` bytes; the report lands in `report`.
int runUnZip(void* window, const std::string& line, std::string* report = nullptr,
             unsigned long size = 65536);

}  // namespace kestrel::test
