// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <vector>

namespace kestrel::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

    // Writes `content` to `rel`, creating folders on the way; the full path.
    std::string write(const std::string& rel, const std::string& content) const;
    // The whole content of a file ("" when it cannot be read).
    static std::string read(const std::string& path);
    // Every entry below the folder that is not a folder, as relative paths, sorted.
    std::vector<std::string> files() const;

private:
    std::string path_;
};

}  // namespace kestrel::test
