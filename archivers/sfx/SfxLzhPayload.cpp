#include "SfxLzhPayload.h"

#include <cstdio>

#include "LzhArchive.h"
#include "LzhExtractor.h"
#include "SfxTrailer.h"

namespace kestrel::sfx {

namespace {

void list(const lzh::LzhArchive& archive) {
    for (const lzh::LzhEntry& e : archive.entries()) {
        arc::DosDateTime t = e.dosTime;
        std::printf("%12llu  %04d-%02d-%02d %02d:%02d  %s\n", static_cast<unsigned long long>(e.originalSize),
                    1980 + (t.date >> 9), (t.date >> 5) & 15, t.date & 31, t.time >> 11, (t.time >> 5) & 63,
                    e.displayName().c_str());
    }
}

}  // namespace

int SfxLzhPayload::run(const std::string& program, uint64_t offset, uint64_t length, uint32_t flags,
                       const SfxOptions& options) {
    lzh::LzhArchive archive;
    auto status = archive.openRegion(program, offset, length);
    if (status == lzh::LzhArchive::Status::CannotOpen || status == lzh::LzhArchive::Status::NotArchive) {
        std::fprintf(stderr, "書庫を読めません: %s\n", archive.problem().c_str());
        return 2;
    }
    if (options.list) {
        list(archive);
        return status == lzh::LzhArchive::Status::Ok ? 0 : 2;
    }
    lzh::LzhExtractor::Options extractOptions;
    extractOptions.keepFolders = flags & KESTREL_SFX_KEEP_FOLDERS;
    extractOptions.restoreModes = flags & KESTREL_SFX_RESTORE_MODES;
    bool quiet = options.quiet || (flags & KESTREL_SFX_QUIET);
    lzh::LzhExtractor extractor(
        archive, options.dest, extractOptions,
        [&](const std::string&) {
            return options.overwrite ? arc::Host::Overwrite::Replace : arc::Host::Overwrite::Keep;
        },
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    for (const lzh::LzhEntry& e : archive.entries()) {
        int before = extractor.summary().extracted;
        extractor.extract(e);
        if (!quiet && extractor.summary().extracted > before) std::printf("%s\n", e.displayName().c_str());
    }
    extractor.finish();
    const auto& s = extractor.summary();
    if (status != lzh::LzhArchive::Status::Ok) {
        std::fprintf(stderr, "書庫が壊れています: %s\n", archive.problem().c_str());
        return 2;
    }
    if (s.damaged || s.writeErrors || s.unsupported) return 2;
    return (s.unsafe || s.keptExisting) ? 1 : 0;
}

}  // namespace kestrel::sfx
