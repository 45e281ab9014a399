#pragma once

#include "archivers/common/AtomicFile.h"

#include <QFile>
#include <QString>
#include <string>

// Paths as the copy engine handles them: the bytes the kernel takes, so that a
// name that is not valid UTF-8 survives a copy unchanged.
namespace CopyPath {

inline std::string join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

// The last component, without trailing slashes ("/a/b/" gives "b").
inline std::string lastName(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder holding the last component ("/a/b" gives "/a", "/a" gives "/").
inline std::string parentOf(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Renames `from` to `to` only when `to` does not exist yet, so that an entry
// that appeared meanwhile is never replaced without the user's word.
inline bool renameNoReplace(const std::string& from, const std::string& to)
{
    return kestrel::arc::AtomicFile::renameNoReplace(from, to);
}

inline std::string bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString text(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// The last component as the user reads it, in questions and progress.
inline QString displayName(const std::string& path) { return text(lastName(path)); }

} // namespace CopyPath
