#include "LzhExtractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "AtomicFile.h"
#include "Attributes.h"
#include "LzhEntryDecoder.h"
#include "PathText.h"
#include "SafePath.h"

namespace kestrel::lzh {

namespace {

void setTimes(const std::string& path, time_t mtime, bool followLink) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    times[1].tv_sec = mtime;
    times[1].tv_nsec = 0;
    utimensat(AT_FDCWD, path.c_str(), times, followLink ? 0 : AT_SYMLINK_NOFOLLOW);
}

// The method id as report text: header bytes may be anything, NUL included.
std::string printableMethod(const std::string& method) {
    std::string out = method;
    for (char& c : out)
        if (c < 0x20 || c > 0x7E) c = '?';
    return out;
}

std::string baseName(const std::string& name) {
    size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

LzhExtractor::LzhExtractor(const LzhArchive& archive, std::string dest, Options options, AskOverwrite ask,
                           Report report, Progress progress)
    : archive_(archive),
      dest_(arc::SafePath::folder(dest)),
      options_(options),
      ask_(std::move(ask)),
      report_(std::move(report)),
      progress_(std::move(progress)),
      join_([this](const std::string& line) { report_(line); }) {
    umask_ = arc::PathText::currentUmask();
}

bool LzhExtractor::makeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st;
    return errno == EEXIST && lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the folders of `relative` (a checked path below the destination) one by
// one, refusing any that turns out not to be a real folder.
bool LzhExtractor::makeParents(const std::string& relative) {
    // The destination itself may be new, parents included.
    for (size_t pos = dest_.find('/', 1); pos != std::string::npos; pos = dest_.find('/', pos + 1))
        makeFolder(dest_.substr(0, pos));
    if (!makeFolder(dest_)) return false;
    size_t pos = 0;
    while ((pos = relative.find('/', pos)) != std::string::npos) {
        if (!makeFolder(dest_ + (dest_ == "/" ? "" : "/") + relative.substr(0, pos))) return false;
        ++pos;
    }
    return true;
}

mode_t LzhExtractor::fileMode(const LzhEntry& entry) const {
    // A stored mode without a single permission bit says nothing (it would make
    // the file unreadable): the DOS attributes decide then.
    if (options_.restoreModes && entry.hasUnixMode && (entry.unixMode & 0777)) return entry.unixMode & 0777;
    if (options_.restoreModes) return arc::Attributes::toMode(entry.dosAttributes, false) & ~umask_;
    return 0666 & ~umask_;
}

bool LzhExtractor::extract(const LzhEntry& entry) {
    if (summary_.cancelled) return false;
    if (entry.isDirectory && !options_.keepFolders) return true;
    std::string stored = options_.keepFolders ? entry.name : baseName(entry.name);
    std::string full, relative;
    auto problem = join_(dest_, stored, full, &relative);
    if (problem != arc::SafePath::Problem::None) {
        ++summary_.unsafe;
        report_(entry.displayName() + ": " + arc::SafePath::describe(problem));
        return true;
    }
    if (!makeParents(relative)) {
        ++summary_.writeErrors;
        report_(entry.displayName() + ": フォルダを作れません");
        return true;
    }
    if (entry.isDirectory)
        extractFolder(entry, full);
    else if (entry.isSymlink)
        extractLink(entry, full, relative);
    else
        extractFile(entry, full, entry.displayName());
    return !summary_.cancelled;
}

void LzhExtractor::extractFolder(const LzhEntry& entry, const std::string& full) {
    if (!makeFolder(full)) {
        ++summary_.writeErrors;
        report_(entry.displayName() + ": フォルダを作れません");
        return;
    }
    folders_.push_back({full, entry.mtime, options_.restoreModes && entry.hasUnixMode && (entry.unixMode & 0777),
                        static_cast<mode_t>(entry.unixMode & 0777)});
    ++summary_.extracted;
}

// Asks about an existing file; a folder in the way is never replaced.
bool LzhExtractor::mayReplace(const std::string& full, bool& replacing) {
    struct stat st;
    replacing = lstat(full.c_str(), &st) == 0;
    if (!replacing) return true;
    if (S_ISDIR(st.st_mode)) {
        ++summary_.writeErrors;
        report_(full + ": 同じ名前のフォルダがあります");
        return false;
    }
    switch (ask_ ? ask_(full) : arc::Host::Overwrite::Keep) {
        case arc::Host::Overwrite::Replace:
            return true;
        case arc::Host::Overwrite::Cancel:
            summary_.cancelled = true;
            return false;
        case arc::Host::Overwrite::Keep:
            break;
    }
    ++summary_.keptExisting;
    report_(full + ": 既存のファイルを残しました");
    return false;
}

void LzhExtractor::extractFile(const LzhEntry& entry, const std::string& full, const std::string& shown) {
    if (!LzhEntryDecoder::isSupported(entry.method)) {
        ++summary_.unsupported;
        report_(shown + ": 未対応の圧縮方式です " + printableMethod(entry.method));
        return;
    }
    bool replacing;
    if (!mayReplace(full, replacing)) return;
    arc::AtomicFile out(full);
    if (!out.open()) {
        ++summary_.writeErrors;
        report_(shown + ": 書き込めません (" + std::strerror(errno) + ")");
        return;
    }
    out.setMode(fileMode(entry));
    // Replacing a file the user had: make sure the new one is on disk first.
    out.setSync(replacing);
    uint64_t done = 0;
    bool cancelled = false;
    auto result = LzhEntryDecoder::decode(archive_, entry, [&](const uint8_t* data, size_t n) {
        if (!out.write(data, n)) return false;
        done += n;
        if (progress_ && !progress_(entry.name, done, entry.originalSize)) {
            cancelled = true;
            return false;
        }
        return true;
    });
    if (cancelled) {
        summary_.cancelled = true;
        return;
    }
    switch (result) {
        case LzhEntryDecoder::Result::Ok:
            break;
        case LzhEntryDecoder::Result::Damaged:
            ++summary_.damaged;
            report_(shown + ": データが壊れています (CRC エラー)");
            return;
        case LzhEntryDecoder::Result::Unsupported:
            ++summary_.unsupported;
            report_(shown + ": 未対応の圧縮方式です " + printableMethod(entry.method));
            return;
        case LzhEntryDecoder::Result::SinkFailed:
            ++summary_.writeErrors;
            report_(shown + ": 書き込めません");
            return;
    }
    if (!out.commit()) {
        ++summary_.writeErrors;
        report_(shown + ": 書き込めません (" + std::strerror(errno) + ")");
        return;
    }
    setTimes(full, entry.mtime, false);
    ++summary_.extracted;
}

void LzhExtractor::extractLink(const LzhEntry& entry, const std::string& full, const std::string& relative) {
    if (!arc::SafePath::linkStaysInside(relative, entry.linkTarget)) {
        ++summary_.unsafe;
        report_(entry.name + " -> " + entry.linkTarget + ": " +
                arc::SafePath::describe(arc::SafePath::Problem::LinkOutside));
        return;
    }
    bool replacing;
    if (!mayReplace(full, replacing)) return;
    // Made under a temporary name and renamed, so an existing file is replaced in one step.
    std::string temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = full + ".kes-link-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        if (symlink(entry.linkTarget.c_str(), temp.c_str()) == 0) break;
        if (errno != EEXIST) {
            temp.clear();
            break;
        }
    }
    if (temp.empty() || rename(temp.c_str(), full.c_str()) != 0) {
        if (!temp.empty()) unlink(temp.c_str());
        ++summary_.writeErrors;
        report_(entry.name + ": リンクを作れません");
        return;
    }
    ++summary_.extracted;
}

void LzhExtractor::finish() {
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        if (it->hasMode) chmod(it->path.c_str(), it->mode);
        setTimes(it->path, it->mtime, true);
    }
    folders_.clear();
}

}  // namespace kestrel::lzh
