#include "CabExtractor.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "AtomicFile.h"
#include "Attributes.h"
#include "CabArchive.h"
#include "CommandLine.h"
#include "CommandProgress.h"
#include "DosTime.h"
#include "FolderMaker.h"
#include "PathText.h"
#include "SafePath.h"
#include "Wildcard.h"

namespace kestrel::arc::cab {

namespace {

std::string slashes(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

}  // namespace

bool CabExtractor::makeDestination(const std::string& dest) {
    return FolderMaker::makeDestination(dest);
}

int CabExtractor::run(const std::string& archivePath, const std::string& dest,
                      const CabExtractOptions& options) {
    options_ = options;
    dest_ = SafePath::folder(dest);
    join_.restart();
    CabArchive archive;
    std::string message;
    int rc = archive.open(archivePath, message);
    if (rc != KA_OK) {
        out_.line(message);
        return rc;
    }
    archive.joinPrevious();
    std::string missing;
    CabArchive::AskMissing ask;
    if (options_.askForMissing && host_.interactive()) {
        ask = [this](const std::string& wanted) {
            return host_.askFile("次の分割書庫を指定して下さい: " + wanted, wanted);
        };
    }
    if (archive.joinNext(ask, missing) != KA_OK) {
        missing_ = missing;
        if (options_.askForMissing) {
            out_.line("分割書庫が見つかりません: " + missing);
            result_.note(KA_ERR_MISSING_VOLUME);
        }
    }
    if (!makeDestination(dest_)) {
        out_.line("解凍先フォルダを作成できません: " + dest_);
        return KA_ERR_WRITE;
    }
    // A name that is itself an entry means that entry only, even when it holds
    // '*' or '?' (a viewer passes the names it listed).
    literal_.clear();
    for (mscabd_file* file : archive.files()) {
        std::string name = CabEntry::from(*file).slashName();
        for (const std::string& pattern : options_.patterns)
            if (slashes(pattern) == name) literal_.insert(pattern);
    }
    uint64_t total = 0;
    for (mscabd_file* file : archive.files()) {
        CabEntry entry = CabEntry::from(*file);
        if (wanted(entry) && !entry.isFolder()) total += entry.size;
    }
    progress_ = CommandProgress(host_, total);
    size_t matched = 0;
    for (mscabd_file* file : archive.files()) {
        if (stop_) break;
        CabEntry entry = CabEntry::from(*file);
        if (!wanted(entry)) continue;
        ++matched;
        extractOne(archive, file, entry);
        if (!entry.isFolder()) progress_.next(entry.size);
    }
    if (matched == 0) {
        out_.line("該当するファイルがありません");
        result_.note(KA_ERR_NO_MATCH);
    }
    return result_.code();
}

bool CabExtractor::wanted(const CabEntry& entry) const {
    if (options_.patterns.empty()) return true;
    const std::string name = entry.slashName();
    for (const std::string& pattern : options_.patterns) {
        if (literal_.count(pattern)) {
            if (slashes(pattern) == name) return true;
        } else if (CommandLine::isEverything(pattern) || Wildcard::match(slashes(pattern), name)) {
            return true;
        }
    }
    return false;
}

void CabExtractor::skip(const std::string& entryName, const std::string& why) {
    out_.line("スキップ: " + entryName + " (" + why + ")");
    result_.note(KA_WARN_SKIPPED);
}

bool CabExtractor::makeFolders(const std::string& relative, const std::string& entryName) {
    return FolderMaker::makeForEntry(dest_, relative, entryName, out_, [this](int code) { result_.note(code); });
}

bool CabExtractor::mayReplace(const std::string& full, const std::string& entryName) {
    struct stat st{};
    if (::lstat(full.c_str(), &st) != 0) return true;
    if (S_ISDIR(st.st_mode)) {
        skip(entryName, "同じ名前のフォルダがあります");
        return false;
    }
    if (options_.replaceExisting) return true;
    switch (host_.askOverwrite(full)) {
    case Host::Overwrite::Replace: return true;
    case Host::Overwrite::Keep: skip(entryName, "既存のファイルを残しました"); return false;
    case Host::Overwrite::Cancel:
        out_.line("中止しました");
        result_.note(KA_ERR_CANCELLED);
        stop_ = true;
        return false;
    }
    return false;
}

void CabExtractor::extractOne(CabArchive& archive, mscabd_file* file, const CabEntry& entry) {
    // The report names entries as the listing does, with '/'.
    const std::string shown = entry.slashName();
    const std::string name = options_.keepFolders ? shown : PathText::lastComponent(shown);
    std::string full;
    std::string relative;
    SafePath::Problem problem = join_(dest_, name, full, &relative);
    if (problem != SafePath::Problem::None) {
        skip(shown, SafePath::describe(problem));
        return;
    }
    if (entry.isFolder()) {
        if (options_.keepFolders && makeFolders(relative, shown)) out_.line("作成: " + shown);
        return;
    }
    if (!makeFolders(PathText::parentOf(relative), shown) || !mayReplace(full, shown)) return;
    if (!progress_.report(shown, 0)) {
        out_.line("中止しました");
        result_.note(KA_ERR_CANCELLED);
        stop_ = true;
        return;
    }

    // The data goes to a fresh hidden name beside the target and is renamed over
    // it only when complete: a damaged entry leaves nothing, and an existing
    // file is never half-replaced. libmspack writes it by name.
    AtomicFile out(full);
    out.setSync(false);
    if (!out.open()) {
        out_.line("書き込めません: " + full + " (" + std::strerror(errno) + ")");
        result_.note(KA_ERR_WRITE);
        return;
    }
    std::string message;
    int rc = archive.extract(file, out.temporaryPath(), message,
                             [&](uint64_t done) { return progress_.report(shown, done); });
    if (rc != KA_OK) {
        out.discard();
        if (rc == KA_ERR_MISSING_VOLUME && !missing_.empty()) message += " (" + missing_ + ")";
        out_.line(rc == KA_ERR_CANCELLED ? message : "エラー: " + shown + ": " + message);
        result_.note(rc);
        if (rc == KA_ERR_CANCELLED) stop_ = true;
        return;
    }
    const uint8_t attributes = options_.restoreReadOnly ? static_cast<uint8_t>(entry.attributes) : 0;
    out.setNewFileMode(Attributes::toMode(attributes, false));
    out.setModificationTime(DosTime::toTimeT(entry.dosDate, entry.dosTime));
    if (!out.commit()) {
        out_.line("書き込めません: " + full + " (" + std::strerror(errno) + ")");
        result_.note(KA_ERR_WRITE);
        return;
    }
    out_.line("解凍: " + shown);
    if (options_.extracted) options_.extracted(shown);
}

}  // namespace kestrel::arc::cab
