#include "ZipReader.h"

#include <zip.h>

#include "ZipArchiveStart.h"
#include "ZipEntryTime.h"
#include "ZipNames.h"

namespace kestrel::zip {

ZipReader::~ZipReader() { close(); }

void ZipReader::close() {
    if (archive_ != nullptr) {
        zip_discard(archive_);  // read-only: nothing to write back
        archive_ = nullptr;
    }
    entries_.clear();
}

struct zip* ZipReader::openFrom(const std::string& path, uint64_t start) {
    // libzip reads the file through a window that begins where the archive does, so
    // nothing is copied however large the data in front is.
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path.c_str(), start, 0, &error);
    struct zip* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (archive == nullptr && source != nullptr)
        zip_source_free(source);
    zip_error_fini(&error);
    return archive;
}

bool ZipReader::open(const std::string& path) {
    close();
    openFailed_ = false;
    int code = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
    // Data in front of the archive (a self-extracting program) that the offsets do
    // not count: the end record still tells where the archive begins.
    if (archive_ == nullptr && (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)) {
        if (const std::optional<uint64_t> start = ZipArchiveStart::find(path))
            archive_ = openFrom(path, *start);
    }
    if (archive_ == nullptr) {
        zip_error_t err;
        zip_error_init_with_code(&err, code);
        error_ = zip_error_strerror(&err);
        zip_error_fini(&err);
        openFailed_ = code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT;
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0) {
        error_ = "cannot read the central directory";
        close();
        return false;
    }
    entries_.reserve(static_cast<size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        ZipEntry entry;
        if (!readEntry(static_cast<uint64_t>(i), entry)) {
            error_ = "damaged central directory entry";
            close();
            return false;
        }
        entries_.push_back(std::move(entry));
    }
    return true;
}

bool ZipReader::readEntry(uint64_t index, ZipEntry& entry) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, index, ZIP_FL_ENC_RAW, &st) != 0 || st.name == nullptr)
        return false;
    entry.index = index;
    entry.rawName = st.name;
    const char* strict = zip_get_name(archive_, index, ZIP_FL_ENC_STRICT);
    entry.name = decodeEntryName(archive_, index, entry.rawName, strict ? strict : "");
    entry.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    entry.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    entry.crcKnown = (st.valid & ZIP_STAT_CRC) != 0;
    entry.crc = entry.crcKnown ? st.crc : 0;
    // The listing and the extracted file both show the true time, not the maker's
    // local one.
    entry.mtime = ZipEntryTime::of(archive_, index, (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0);
    entry.method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : 0;
    entry.encryption = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) ? st.encryption_method : 0;
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive_, index, 0, &opsys, &attributes) == 0) {
        entry.madeBy = opsys;
        entry.externalAttributes = attributes;
    }
    return true;
}

}  // namespace kestrel::zip
