#include "TestSupport.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern "C" int UnZip(void* window, const char* commandLine, char* output, unsigned long outputSize);

namespace kestrel::test {

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> listTree(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::string rel = std::filesystem::relative(it->path(), folder, ec).string();
        if (it->is_directory(ec) && !it->is_symlink(ec))
            rel += "/";
        names.push_back(rel);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int runUnZip(void* window, const std::string& line, std::string* report, unsigned long size) {
    std::vector<char> buffer(size, '\0');
    const int result = UnZip(window, line.c_str(), buffer.data(), size);
    if (report)
        *report = std::string(buffer.data(), strnlen(buffer.data(), size));
    return result;
}

}  // namespace kestrel::test
