#include "platform/CopyName.h"

#include "platform/CopyPath.h"

#include <sys/stat.h>

namespace CopyName {

std::string nth(const std::string& name, bool isFolder, int n)
{
    std::string suffix = " - コピー";
    if (n > 1)
        suffix += " (" + std::to_string(n) + ")";
    const std::string::size_type dot = isFolder ? std::string::npos : name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string firstFree(const std::string& folder, const std::string& name, bool isFolder)
{
    for (int n = 1; n <= 1000; ++n) {
        const std::string candidate = nth(name, isFolder, n);
        struct stat st {};
        if (::lstat(CopyPath::join(folder, candidate).c_str(), &st) != 0)
            return candidate;
    }
    return {};
}

} // namespace CopyName
