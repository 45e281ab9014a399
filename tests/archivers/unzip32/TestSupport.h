// Helpers shared by the ZIP and front-end tests: a scratch folder, file reading, and a
// host that answers from a script.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ArchiverApi.h"

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

// A KestrelHost whose answers come from queues; an empty queue means "cancel".
class ScriptedHost {
public:
    ScriptedHost();
    KestrelHost* host() { return &host_; }

    std::deque<std::optional<std::string>> texts;  // nullopt = cancel
    std::deque<int> answers;                       // KestrelAnswer values
    std::vector<std::string> prompts;              // every question asked, in order
    std::vector<int> secrets;                      // the secret flag of each askText

private:
    static int askText(void*, const char*, const char*, int, char*, size_t);
    static int askYesNo(void*, const char*);
    KestrelHost host_;
};

// Runs UnZip with a buffer of `size` bytes; the report lands in `report`.
int runUnZip(void* window, const std::string& line, std::string* report = nullptr,
             unsigned long size = 65536);

}  // namespace kestrel::test
