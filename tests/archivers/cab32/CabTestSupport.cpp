#include "CabTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace cabtest {

void writeFile(const std::string& path, const std::string& data) {
    size_t slash = path.rfind('/');
    for (size_t pos = 1; slash != std::string::npos && pos < slash; ++pos)
        if (path[pos] == '/') ::mkdir(path.substr(0, pos).c_str(), 0777);
    if (slash != std::string::npos) ::mkdir(path.substr(0, slash).c_str(), 0777);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string sampleData(size_t size, uint32_t seed, bool text) {
    static const char* words[] = {"cabinet ", "folder ", "block ", "the ", "data ", "stream ", "\n",
                                  "window ", "match ", "literal ", "offset ", "frame "};
    std::string out;
    out.reserve(size);
    uint32_t x = seed * 2654435761u + 1;
    while (out.size() < size) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        if (text)
            out += words[x % 12];
        else
            out.push_back(static_cast<char>(x >> 24));
    }
    out.resize(size);
    return out;
}

CabRun runCab(const std::string& line, void* window, size_t bufferSize) {
    std::vector<char> buffer(bufferSize, '\0');
    int rc = Cab(window, line.c_str(), buffer.data(), bufferSize);
    return CabRun{rc, std::string(buffer.data())};
}


int writeCabinet(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files,
                 kestrel::arc::cab::CabWriteOptions options, const TempDir& scratch) {
    std::vector<kestrel::arc::cab::CabInput> inputs;
    int n = 0;
    for (const auto& [name, data] : files) {
        std::string disk = scratch / ("in" + std::to_string(n++));
        writeFile(disk, data);
        kestrel::arc::cab::CabInput in;
        in.diskPath = disk;
        in.record.name = name;
        in.record.size = static_cast<uint32_t>(data.size());
        in.record.date = (45 << 9) | (5 << 5) | 6;  // 2025-05-06
        in.record.time = (7 << 11) | (8 << 5) | 5;   // 07:08:10
        in.record.attributes = 0x20;
        inputs.push_back(in);
    }
    kestrel::arc::cab::CabinetWriter writer(path, options);
    std::string message;
    return writer.write(std::move(inputs), nullptr, message);
}

int runTool(const std::string& command, std::string* output) {
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    int status = ::pclose(p);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

}  // namespace cabtest
