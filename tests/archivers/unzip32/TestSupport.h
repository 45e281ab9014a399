// Helpers shared by the ZIP and front-end tests: a scratch folder, file reading, and
// the call of the library.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ArchiverApi.h"
#include "ScriptedHost.h"
#include "TempDir.h"

// The listing entries of the library, for the tests that walk an archive.
extern "C" {
void* UnZipOpenArchive(void* window, const char* archivePath, unsigned long mode);
int UnZipFindFirst(void* archive, const char* wildName, EntryInfo* entry);
int UnZipFindNext(void* archive, EntryInfo* entry);
int UnZipCloseArchive(void* archive);
}

namespace kestrel::test {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& data);
bool exists(const std::string& path);  // without following a final link
// Every name below `folder` (relative, sorted), folders with a trailing '/'.
std::vector<std::string> listTree(const std::string& folder);

// Runs UnZip with a buffer of `size` bytes; the report lands in `report`.
int runUnZip(void* window, const std::string& line, std::string* report = nullptr,
             unsigned long size = 65536);

}  // namespace kestrel::test
