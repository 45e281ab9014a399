// A cabinet, or a set of cabinets joined together, open for reading through
// libmspack. Neighbours of a set are looked up by their stored names in the same
// folder, ignoring case as the DOS names they are.
#ifndef KESTREL_CAB_ARCHIVE_H
#define KESTREL_CAB_ARCHIVE_H

#include <mspack.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CabIoSystem.h"

namespace kestrel::arc::cab {

class CabArchive {
public:
    CabArchive();
    ~CabArchive();
    CabArchive(const CabArchive&) = delete;
    CabArchive& operator=(const CabArchive&) = delete;

    // Opens one cabinet, at the start of the file or, failing that, embedded in it
    // (a self-extracting program). Returns a KestrelResult; `message` says why it failed.
    int open(const std::string& path, std::string& message);

    // Asked for a cabinet that is not where its neighbour says: gets the bare name
    // wanted and returns a path, or nothing to give up.
    using AskMissing = std::function<std::optional<std::string>(const std::string& wanted)>;

    // Joins the following cabinets of the set, as far as they can be found (and,
    // with `ask`, as far as the user can find them). Returns KA_OK, or
    // KA_ERR_MISSING_VOLUME with the name of the first one missing in `missing`.
    int joinNext(const AskMissing& ask, std::string& missing);
    // Joins the preceding cabinets found in the same folder; no questions.
    void joinPrevious();

    // Every file of the cabinet or of the joined set, in stored order.
    std::vector<mscabd_file*> files() const;
    // Writes one file's data to `outPath`. Returns a KestrelResult. `progress`, if
    // given, hears the bytes written so far and may return false to cancel.
    using Progress = std::function<bool(uint64_t done)>;
    int extract(mscabd_file* file, const std::string& outPath, std::string& message,
                const Progress& progress = nullptr);

    const mscabd_cabinet* cabinet() const { return cab_; }
    std::vector<std::string> takeMessages() { return io_.takeMessages(); }

    // The entry in `folder` whose name equals `name` ignoring ASCII case.
    static std::optional<std::string> findIgnoringCase(const std::string& folder, const std::string& name);

private:
    mscabd_cabinet* openOne(const std::string& path, int* error);
    // Looks for a cabinet further into the file `openOne` just failed on.
    mscabd_cabinet* searchOne(const std::string& path, int* error);
    std::optional<std::string> neighbourPath(const char* storedName, const std::string& folder) const;
    bool seen(const std::string& path) const;

    CabIoSystem io_;
    mscab_decompressor* decompressor_ = nullptr;
    mscabd_cabinet* cab_ = nullptr;  // any cabinet of the set (closing it frees them all)
    mscabd_cabinet* first_ = nullptr;
    mscabd_cabinet* last_ = nullptr;
    std::string folder_;      // where the opened cabinet and its predecessors are
    std::string nextFolder_;  // where the last joined cabinet is
    std::deque<std::string> paths_;  // libmspack keeps pointers to these names
    std::vector<std::string> identities_;
};

}  // namespace kestrel::arc::cab

#endif
