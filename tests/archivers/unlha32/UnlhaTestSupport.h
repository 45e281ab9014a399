// Helpers for the LZH tests: calling the library's C entries, listing, and making
// archives with exactly the entries a test needs (hostile ones included).
#ifndef KESTREL_TEST_UNLHA_SUPPORT_H
#define KESTREL_TEST_UNLHA_SUPPORT_H

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ArchiverApi.h"
#include "Crc16.h"
#include "LzhEntry.h"
#include "LzhHeaderWriter.h"
#include "ScriptedHost.h"
#include "TempDir.h"

using kestrel::test::TempDir;

extern "C" {
int Unlha(void* window, const char* commandLine, char* output, unsigned long outputSize);
void* UnlhaOpenArchive(void* window, const char* archivePath, unsigned long mode);
int UnlhaFindFirst(void* archive, const char* wildName, EntryInfo* entry);
int UnlhaFindNext(void* archive, EntryInfo* entry);
int UnlhaCloseArchive(void* archive);
}

struct CallResult {
    int code;
    std::string output;
};

inline CallResult unlha(const std::string& line, void* host = nullptr) {
    std::vector<char> buf(64 * 1024, '\0');
    int code = Unlha(host, line.c_str(), buf.data(), buf.size());
    return {code, buf.data()};
}

inline std::string q(const std::string& s) { return "\"" + s + "\""; }

inline std::vector<EntryInfo> listEntries(const std::string& archive, const char* wild = "*.*") {
    std::vector<EntryInfo> out;
    void* h = UnlhaOpenArchive(nullptr, archive.c_str(), 0);
    if (!h) return out;
    EntryInfo info;
    std::memset(&info, 0, sizeof info);
    for (int r = UnlhaFindFirst(h, wild, &info); r == 0; r = UnlhaFindNext(h, &info)) out.push_back(info);
    UnlhaCloseArchive(h);
    return out;
}

inline std::vector<std::string> listNames(const std::string& archive) {
    std::vector<std::string> names;
    for (const EntryInfo& e : listEntries(archive)) names.push_back(e.name);
    return names;
}

using kestrel::test::ScriptedHost;

// One entry of a hand-made archive; stored (-lh0-) unless `method` and
// `compressed` say otherwise.
struct MadeEntry {
    MadeEntry(std::string p, std::string d = "") : path(std::move(p)), data(std::move(d)) {}
    std::string path;  // stored bytes, '/' separated; "link|target" for links
    std::string data;
    std::string method = "-lh0-";
    std::string compressed;  // used when method is not -lh0-
    bool directory = false;
    bool symlink = false;
    time_t mtime = 1600000000;
    int mode = -1;  // a stored Unix mode, when >= 0
};

inline std::string makeArchiveBytes(const std::vector<MadeEntry>& entries) {
    std::string out;
    for (const MadeEntry& m : entries) {
        kestrel::lzh::LzhEntry e;
        e.method = m.directory || m.symlink ? "-lhd-" : m.method;
        e.storedPath = m.path;
        e.isDirectory = m.directory;
        e.isSymlink = m.symlink;
        e.mtime = m.mtime;
        std::string payload = m.method == "-lh0-" ? m.data : m.compressed;
        e.originalSize = m.data.size();
        e.compressedSize = payload.size();
        e.crc = kestrel::lzh::Crc16::of(reinterpret_cast<const uint8_t*>(m.data.data()), m.data.size());
        if (m.mode >= 0) {
            e.hasUnixMode = true;
            e.unixMode = static_cast<uint16_t>(m.mode);
        }
        if (m.symlink) {
            e.hasUnixMode = true;
            e.unixMode = S_IFLNK | 0777;
            e.originalSize = e.compressedSize = 0;
            e.crc = 0;
            payload.clear();
        }
        auto header = kestrel::lzh::LzhHeaderWriter::level2(e);
        out.append(reinterpret_cast<const char*>(header->data()), header->size());
        out += payload;
    }
    out += '\0';
    return out;
}

inline std::string writeArchive(const TempDir& dir, const std::string& name, const std::vector<MadeEntry>& entries) {
    return dir.write(name, makeArchiveBytes(entries));
}

// Every file below `root` (relative names, folders with '/').
inline std::vector<std::string> tree(const std::string& root) {
    std::vector<std::string> out;
    if (!std::filesystem::exists(root)) return out;
    for (auto& e : std::filesystem::recursive_directory_iterator(root)) {
        std::string rel = e.path().lexically_relative(root).string();
        out.push_back(rel + (e.is_directory() && !e.is_symlink() ? "/" : ""));
    }
    std::sort(out.begin(), out.end());
    return out;
}

inline std::string hexBytes(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        i += 2;
    }
    return out;
}

#endif
