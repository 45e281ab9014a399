#include "ZipExtractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "ArchiverApi.h"
#include "AtomicFile.h"
#include "Attributes.h"
#include "CommandLine.h"
#include "FolderMaker.h"
#include "PathText.h"
#include "SafePath.h"
#include "Wildcard.h"

namespace kestrel::zip {

using arc::FolderMaker;
using arc::SafePath;
using Status = ZipEntryReader::Status;

namespace {

constexpr int kPasswordTries = 3;
constexpr size_t kMaxLinkTarget = 4096;

using arc::PathText;

void setTime(const std::string& path, time_t mtime) {
    timespec times[2];
    times[0].tv_sec = mtime;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// A name beside `full` that nothing else uses, for a link made before it is moved in.
std::string scratchName(const std::string& full) {
    thread_local std::mt19937 random{std::random_device{}()};
    const size_t slash = full.rfind('/');
    return full.substr(0, slash + 1) + ".kestrel-link-" + std::to_string(random());
}

}  // namespace

ZipExtractor::ZipExtractor(ZipReader& reader, arc::Host& host, arc::OutputBuffer& out,
                           ExtractOptions options)
    : reader_(reader), host_(host), out_(out), options_(options), progress_(host, 0),
      umask_(PathText::currentUmask()) {}

bool ZipExtractor::matches(const ZipEntry& entry, const std::vector<std::string>& patterns,
                           std::vector<bool>& used) const {
    bool any = false;
    for (size_t i = 0; i < patterns.size(); ++i) {
        const std::string& p = patterns[i];
        const bool wild = !literal_[i] && (arc::CommandLine::isEverything(p) || arc::Wildcard::match(p, entry.name));
        const bool hit = entry.name == p || wild ||
                         // a folder's name picks everything below it
                         (!p.empty() && p.back() == '/' && entry.name.rfind(p, 0) == 0);
        if (hit) {
            used[i] = true;
            any = true;
        }
    }
    return any;
}

int ZipExtractor::run(const std::string& dest, const std::vector<std::string>& patterns) {
    std::vector<std::string> wanted = patterns;
    if (wanted.empty())
        wanted.push_back("*.*");
    if (!options_.testOnly) {
        base_ = SafePath::folder(dest);
        if (!FolderMaker::makeDestination(base_)) {
            out_.line("展開先フォルダを作成できません: " + dest);
            return KA_ERR_WRITE;
        }
    }
    // The viewer passes entry names as listed: a name that exists is taken literally,
    // so "a*b.txt" never takes "aXb.txt" with it.
    literal_.assign(wanted.size(), false);
    for (const ZipEntry& entry : reader_.entries())
        for (size_t i = 0; i < wanted.size(); ++i)
            if (entry.name == wanted[i]) literal_[i] = true;
    std::vector<bool> used(wanted.size(), false);
    uint64_t total = 0;
    for (const ZipEntry& entry : reader_.entries())
        if (matches(entry, wanted, used) && !entry.isFolder())
            total += entry.size;
    progress_ = arc::CommandProgress(host_, total);
    used.assign(wanted.size(), false);
    for (const ZipEntry& entry : reader_.entries()) {
        if (stop_)
            break;
        if (matches(entry, wanted, used)) {
            handle(entry);
            if (!entry.isFolder())
                progress_.next(entry.size);
        }
    }
    restoreFolders();
    // "*.*" on an empty archive is not a mistake; after a cancel nothing is.
    for (size_t i = 0; i < wanted.size() && !stop_; ++i) {
        if (!used[i] && !arc::CommandLine::isEverything(wanted[i])) {
            out_.line("該当するファイルがありません: " + wanted[i]);
            result_.note(KA_ERR_NO_MATCH);
        }
    }
    out_.line(std::to_string(done_) +
              (options_.testOnly ? " 個のファイルに異常はありません" : " 個のファイルを展開しました"));
    return result_.value();
}

void ZipExtractor::skip(const std::string& name, const std::string& why) {
    out_.line("スキップ: " + name + " (" + why + ")");
    result_.note(KA_WARN_SKIPPED);
}

void ZipExtractor::noteFailure(const ZipEntry& entry, Status status, const std::string& detail) {
    switch (status) {
    case Status::Ok: return;
    case Status::NeedPassword: skip(entry.name, "パスワードがありません"); return;
    case Status::WrongPassword: skip(entry.name, "パスワードが違います"); return;
    case Status::Unsupported:
        out_.line("未対応の形式: " + entry.name + " (" + detail + ")");
        result_.note(KA_ERR_UNSUPPORTED);
        return;
    case Status::Damaged:
        out_.line("壊れています: " + entry.name + " (" + detail + ")");
        result_.note(KA_ERR_DAMAGED);
        return;
    case Status::Stopped:
        // the cause (cancel or write failure) was noted where it happened
        return;
    }
}

void ZipExtractor::handle(const ZipEntry& entry) {
    if (options_.testOnly) {
        testEntry(entry);
        return;
    }
    if (entry.isFolder() && options_.junkPaths)
        return;
    const std::string name = options_.junkPaths ? PathText::lastComponent(entry.name) : entry.name;
    std::string full;
    std::string relative;
    const SafePath::Problem problem = join_(base_, name, full, &relative);
    if (problem != SafePath::Problem::None) {
        skip(entry.name, SafePath::describe(problem));
        return;
    }
    if (entry.isFolder()) {
        extractFolder(entry, relative);
        return;
    }
    if (!makeFolders(PathText::parentOf(relative), entry.name))
        return;
    if (entry.isSymlink())
        extractLink(entry, full, relative);
    else
        extractFile(entry, full, relative);
}

void ZipExtractor::testEntry(const ZipEntry& entry) {
    if (entry.isFolder())
        return;
    std::string detail;
    const Status status = withPassword(entry, [&](const char* password) {
        ZipEntryReader reader(reader_.handle(), entry);
        Status s = reader.open(password);
        if (s == Status::Ok)
            s = reader.copyTo([&](const uint8_t*, size_t) {
                return progress_.report(entry.name, reader.bytesRead()) || (stop_ = true, false);
            });
        detail = reader.detail();
        return s;
    });
    if (stop_) {
        result_.note(KA_ERR_CANCELLED);
        return;
    }
    if (status == Status::Ok) {
        ++done_;
        out_.line("OK: " + entry.name);
    }
    noteFailure(entry, status, detail);
}

bool ZipExtractor::makeFolders(const std::string& relative, const std::string& entryName) {
    return FolderMaker::makeForEntry(base_, relative, entryName, out_, [this](int code) { result_.note(code); });
}

void ZipExtractor::extractFolder(const ZipEntry& entry, const std::string& relative) {
    if (!makeFolders(relative, entry.name))
        return;
    const uint32_t mode = entry.unixMode();
    // Owner access is kept so that the files inside can be written and removed.
    folders_.push_back({base_ + "/" + relative, entry.mtime,
                        mode != 0 ? ((mode & 0777) | 0700) : 0});
}

void ZipExtractor::restoreFolders() {
    // Deepest first: setting a folder's time after its children are in place, and
    // before its parent, keeps every restored time.
    std::sort(folders_.begin(), folders_.end(),
              [](const Folder& a, const Folder& b) { return a.path.size() > b.path.size(); });
    for (const Folder& folder : folders_) {
        if (folder.mode != 0)
            chmod(folder.path.c_str(), folder.mode);
        setTime(folder.path, folder.mtime);
    }
    folders_.clear();
}

bool ZipExtractor::mayReplace(const std::string& full, const ZipEntry& entry) {
    struct stat st;
    if (lstat(full.c_str(), &st) != 0)
        return true;
    if (S_ISDIR(st.st_mode)) {
        skip(entry.name, "同じ名前のフォルダがあります");
        return false;
    }
    if (options_.overwriteAll)
        return true;
    switch (host_.askOverwrite(full)) {
    case arc::Host::Overwrite::Replace: return true;
    case arc::Host::Overwrite::Keep:
        skip(entry.name, "既存のファイルを残しました");
        return false;
    case arc::Host::Overwrite::Cancel:
        out_.line("中止しました");
        result_.note(KA_ERR_CANCELLED);
        stop_ = true;
        return false;
    }
    return false;
}

Status ZipExtractor::withPassword(const ZipEntry& entry, const Attempt& attempt) {
    if (!entry.encrypted())
        return attempt(nullptr);
    // Nothing to ask for when the entry cannot be decoded anyway.
    if (ZipEntryReader(reader_.handle(), entry).precheck() != Status::Ok)
        return attempt(nullptr);
    // The last password that worked is tried first: archives usually have one.
    for (auto it = passwords_.rbegin(); it != passwords_.rend(); ++it) {
        const Status s = attempt(it->c_str());
        if (s != Status::WrongPassword)
            return s;
    }
    Status last = Status::NeedPassword;
    for (int i = 0; i < kPasswordTries && !stop_; ++i) {
        const std::string prompt = (last == Status::WrongPassword
                                        ? "パスワードが違います。もう一度入力して下さい: "
                                        : "パスワードを入力して下さい: ") + entry.name;
        const std::optional<std::string> password = host_.askText(prompt, "", true);
        if (!password)
            return Status::NeedPassword;
        last = attempt(password->c_str());
        if (last == Status::Ok)
            passwords_.push_back(*password);
        if (last != Status::WrongPassword)
            return last;
    }
    return last;
}

void ZipExtractor::writeFailure(const std::string& full, int error) {
    out_.line("書き込めません: " + full + " (" + std::strerror(error) + ")");
    result_.note(KA_ERR_WRITE);
    // A full or broken disk fails every file after this one too; a name too long or
    // a file the user may not replace fails only itself.
    if (error == ENOSPC || error == EDQUOT || error == EROFS || error == EIO)
        stop_ = true;
}

Status ZipExtractor::writeFile(const ZipEntry& entry, const std::string& full, const char* password,
                               std::string& detail) {
    ZipEntryReader reader(reader_.handle(), entry);
    Status status = reader.open(password);
    detail = reader.detail();
    if (status != Status::Ok)
        return status;
    arc::AtomicFile file(full);
    // A new file costs nothing to lose if the machine stops now; a replaced one
    // does, so only then is the data flushed before the rename.
    struct stat st;
    file.setSync(lstat(full.c_str(), &st) == 0);
    if (!file.open()) {
        writeFailure(full, errno);
        return Status::Stopped;
    }
    bool writeFailed = false;
    status = reader.copyTo([&](const uint8_t* data, size_t size) {
        if (!file.write(data, size)) {
            writeFailed = true;
            return false;
        }
        if (!progress_.report(entry.name, reader.bytesRead())) {
            stop_ = true;
            return false;
        }
        return true;
    });
    detail = reader.detail();
    if (status == Status::Ok) {
        const uint32_t mode = entry.unixMode();
        if (mode != 0)
            file.setMode(mode & 0777);  // never set-user-id or set-group-id from an archive
        else if (entry.dosAttributes() & arc::Attributes::ReadOnly)
            file.setMode(arc::Attributes::toMode(entry.dosAttributes(), false) & ~umask_);
        if (!file.commit())
            writeFailed = true;
    }
    if (writeFailed) {
        const int error = errno;
        file.discard();
        writeFailure(full, error);
        return Status::Stopped;
    }
    if (stop_) {
        out_.line("中止しました");
        result_.note(KA_ERR_CANCELLED);
        return Status::Stopped;
    }
    return status;
}

void ZipExtractor::extractFile(const ZipEntry& entry, const std::string& full, const std::string&) {
    if (!mayReplace(full, entry))
        return;
    std::string detail;
    const Status status = withPassword(entry, [&](const char* password) {
        return writeFile(entry, full, password, detail);
    });
    if (status == Status::Ok) {
        setTime(full, entry.mtime);
        ++done_;
        out_.line("展開: " + entry.name);
        return;
    }
    noteFailure(entry, status, detail);
}

void ZipExtractor::extractLink(const ZipEntry& entry, const std::string& full,
                               const std::string& relative) {
    std::string target;
    std::string detail;
    const Status status = withPassword(entry, [&](const char* password) {
        target.clear();
        ZipEntryReader reader(reader_.handle(), entry);
        Status s = reader.open(password);
        if (s == Status::Ok)
            s = reader.copyTo([&](const uint8_t* data, size_t size) {
                target.append(reinterpret_cast<const char*>(data), size);
                return target.size() <= kMaxLinkTarget;
            });
        detail = reader.detail();
        return s;
    });
    if (status == Status::Stopped) {
        out_.line("壊れています: " + entry.name + " (リンク先が長すぎます)");
        result_.note(KA_ERR_DAMAGED);
        return;
    }
    if (status != Status::Ok) {
        noteFailure(entry, status, detail);
        return;
    }
    if (target.find('\0') != std::string::npos || !SafePath::linkStaysInside(relative, target)) {
        skip(entry.name, SafePath::describe(SafePath::Problem::LinkOutside));
        return;
    }
    if (!mayReplace(full, entry))
        return;
    const std::string scratch = scratchName(full);
    if (symlink(target.c_str(), scratch.c_str()) != 0 || rename(scratch.c_str(), full.c_str()) != 0) {
        out_.line("リンクを作成できません: " + full + " (" + std::strerror(errno) + ")");
        unlink(scratch.c_str());
        result_.note(KA_ERR_WRITE);
        return;
    }
    setTime(full, entry.mtime);
    ++done_;
    out_.line("展開: " + entry.name + " -> " + target);
}

}  // namespace kestrel::zip
