#include "CabArchive.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "ArchiverApi.h"

namespace kestrel::arc::cab {

namespace {

// Sets longer than this are taken as a loop in damaged names.
constexpr size_t kMaxCabinets = 4096;

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// device:inode, so that the same file reached by two names is recognised.
std::string identity(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return path;
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

int resultFor(int mspackError) {
    switch (mspackError) {
    case MSPACK_ERR_OK: return KA_OK;
    case MSPACK_ERR_OPEN: return KA_ERR_OPEN;
    case MSPACK_ERR_NOMEMORY: return KA_ERR_MEMORY;
    case MSPACK_ERR_WRITE: return KA_ERR_WRITE;
    case MSPACK_ERR_SIGNATURE: return KA_ERR_NOT_ARCHIVE;
    default: return KA_ERR_DAMAGED;
    }
}

std::string describe(int mspackError) {
    switch (mspackError) {
    case MSPACK_ERR_OPEN: return "開けません";
    case MSPACK_ERR_READ: return "読み込めません (途中で切れています)";
    case MSPACK_ERR_WRITE: return "書き込めません";
    case MSPACK_ERR_SEEK: return "読み込めません";
    case MSPACK_ERR_NOMEMORY: return "メモリが足りません";
    case MSPACK_ERR_SIGNATURE: return "CAB 書庫ではありません";
    case MSPACK_ERR_DATAFORMAT: return "書庫が壊れています";
    case MSPACK_ERR_CHECKSUM: return "チェックサムが合いません";
    case MSPACK_ERR_DECRUNCH: return "展開できません (データが壊れています)";
    default: return "読み込めません";
    }
}

}  // namespace

CabArchive::CabArchive() { decompressor_ = mspack_create_cab_decompressor(io_.system()); }

CabArchive::~CabArchive() {
    if (decompressor_) {
        if (cab_) decompressor_->close(decompressor_, cab_);
        mspack_destroy_cab_decompressor(decompressor_);
    }
}

mscabd_cabinet* CabArchive::openOne(const std::string& path, int* error) {
    paths_.push_back(path);
    mscabd_cabinet* cab = decompressor_->open(decompressor_, paths_.back().data());
    *error = cab ? MSPACK_ERR_OK : decompressor_->last_error(decompressor_);
    if (cab) identities_.push_back(identity(path));
    return cab;
}

mscabd_cabinet* CabArchive::searchOne(const std::string& path, int* error) {
    // A self-extracting program, or a cabinet inside another file: the first
    // cabinet found whose headers hold is the archive. libmspack keeps any later
    // ones on the `next` chain and frees them with the first.
    paths_.push_back(path);
    mscabd_cabinet* cab = decompressor_->search(decompressor_, paths_.back().data());
    io_.takeMessages();  // guesses about the bytes around the cabinet, not faults of it
    if (!cab) {
        const int searchError = decompressor_->last_error(decompressor_);
        *error = searchError == MSPACK_ERR_OK ? MSPACK_ERR_SIGNATURE : searchError;
        return nullptr;
    }
    *error = MSPACK_ERR_OK;
    identities_.push_back(identity(path));
    return cab;
}

int CabArchive::open(const std::string& path, std::string& message) {
    if (!decompressor_) {
        message = "メモリが足りません";
        return KA_ERR_MEMORY;
    }
    int error = MSPACK_ERR_OK;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        message = path + ": 開けません";
        return KA_ERR_OPEN;
    }
    cab_ = openOne(path, &error);
    if (!cab_ && error == MSPACK_ERR_SIGNATURE) cab_ = searchOne(path, &error);
    if (!cab_) {
        message = path + ": " + describe(error);
        return error == MSPACK_ERR_OPEN ? KA_ERR_OPEN : KA_ERR_NOT_ARCHIVE;
    }
    first_ = last_ = cab_;
    folder_ = nextFolder_ = folderOf(path);
    return KA_OK;
}

bool CabArchive::seen(const std::string& path) const {
    std::string id = identity(path);
    for (const std::string& known : identities_)
        if (known == id) return true;
    return false;
}

std::optional<std::string> CabArchive::findIgnoringCase(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, name.c_str()) == 0) return folder + "/" + entry->d_name;
        if (!found && ::strcasecmp(entry->d_name, name.c_str()) == 0) found = folder + "/" + entry->d_name;
    }
    return found;
}

std::optional<std::string> CabArchive::neighbourPath(const char* storedName, const std::string& folder) const {
    // Only the last component counts: a set lives in one folder, and a stored
    // name must not lead anywhere else.
    std::string name = storedName ? storedName : "";
    size_t cut = name.find_last_of("/\\");
    if (cut != std::string::npos) name = name.substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    return findIgnoringCase(folder, name);
}

int CabArchive::joinNext(const AskMissing& ask, std::string& missing) {
    while (last_ && (last_->flags & MSCAB_HDR_NEXTCAB) && paths_.size() < kMaxCabinets) {
        // A cabinet the user pointed to elsewhere leads on in its own folder.
        std::optional<std::string> path = neighbourPath(last_->nextname, nextFolder_);
        if (!path && ask) path = ask(last_->nextname ? last_->nextname : "");
        if (!path) {
            missing = last_->nextname ? last_->nextname : "";
            return KA_ERR_MISSING_VOLUME;
        }
        if (seen(*path)) return KA_OK;  // a loop: what is joined is all there is
        int error = MSPACK_ERR_OK;
        mscabd_cabinet* next = openOne(*path, &error);
        if (!next || decompressor_->append(decompressor_, last_, next) != MSPACK_ERR_OK) {
            if (next) decompressor_->close(decompressor_, next);
            missing = last_->nextname ? last_->nextname : "";
            return KA_ERR_MISSING_VOLUME;
        }
        last_ = next;
        nextFolder_ = folderOf(*path);
    }
    return KA_OK;
}

void CabArchive::joinPrevious() {
    while (first_ && (first_->flags & MSCAB_HDR_PREVCAB) && paths_.size() < kMaxCabinets) {
        std::optional<std::string> path = neighbourPath(first_->prevname, folder_);
        if (!path || seen(*path)) return;
        int error = MSPACK_ERR_OK;
        mscabd_cabinet* prev = openOne(*path, &error);
        if (!prev) return;
        if (decompressor_->prepend(decompressor_, first_, prev) != MSPACK_ERR_OK) {
            decompressor_->close(decompressor_, prev);
            return;
        }
        first_ = prev;
    }
}

std::vector<mscabd_file*> CabArchive::files() const {
    std::vector<mscabd_file*> out;
    if (!cab_) return out;
    for (mscabd_file* f = cab_->files; f; f = f->next) out.push_back(f);
    return out;
}

int CabArchive::extract(mscabd_file* file, const std::string& outPath, std::string& message,
                        const Progress& progress) {
    uint64_t done = 0;
    bool cancelled = false;
    if (progress) {
        io_.setWriteObserver([&](size_t bytes) {
            done += bytes;
            cancelled = !progress(done);
            return !cancelled;
        });
    }
    int error = decompressor_->extract(decompressor_, file, outPath.c_str());
    io_.setWriteObserver(nullptr);
    if (error == MSPACK_ERR_OK) return KA_OK;
    if (cancelled) {
        io_.takeMessages();
        message = "中止しました";
        return KA_ERR_CANCELLED;
    }
    message = describe(error);
    for (const std::string& m : io_.takeMessages()) {
        // libmspack's own words for a file whose folder needs a cabinet not joined.
        if (m.find("incomplete") != std::string::npos || m.find("ran out of cabinets") != std::string::npos) {
            message = "分割書庫の一部が足りません";
            return KA_ERR_MISSING_VOLUME;
        }
    }
    return resultFor(error);
}

}  // namespace kestrel::arc::cab
