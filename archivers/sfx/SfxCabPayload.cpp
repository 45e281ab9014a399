#include "SfxCabPayload.h"

#include <cstdio>

#include "CabArchive.h"
#include "CabEntry.h"
#include "CabExtractor.h"
#include "Host.h"
#include "OutputBuffer.h"
#include "SfxTrailer.h"

namespace kestrel::sfx {

namespace {

using arc::cab::CabArchive;
using arc::cab::CabEntry;

int list(const std::string& program) {
    CabArchive archive;
    std::string message;
    if (archive.open(program, message) != KA_OK) {
        std::fprintf(stderr, "書庫を読めません: %s\n", message.c_str());
        return 2;
    }
    for (const mscabd_file* f : archive.files())
        std::printf("%12u  %04d-%02d-%02d %02d:%02d  %s\n", f->length, f->date_y, f->date_m, f->date_d, f->time_h,
                    f->time_m, CabEntry::from(*f).slashName().c_str());
    return 0;
}

// The extractor's report less its "extracted" lines (those go to stdout, name by name).
void reportProblems(const std::string& report) {
    static const std::string Extracted = "解凍: ";
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        const std::string line = report.substr(start, end - start);
        if (!line.empty() && line.compare(0, Extracted.size(), Extracted) != 0)
            std::fprintf(stderr, "%s\n", line.c_str());
        start = end + 1;
    }
}

}  // namespace

int SfxCabPayload::run(const std::string& program, uint32_t flags, const SfxOptions& options) {
    if (options.list) return list(program);
    const bool quiet = options.quiet || (flags & KESTREL_SFX_QUIET);
    arc::cab::CabExtractOptions extractOptions;
    extractOptions.keepFolders = flags & KESTREL_SFX_KEEP_FOLDERS;
    extractOptions.restoreReadOnly = flags & KESTREL_SFX_RESTORE_MODES;
    extractOptions.replaceExisting = options.overwrite;
    if (!quiet) extractOptions.extracted = [](const std::string& name) { std::printf("%s\n", name.c_str()); };
    arc::Host host(nullptr);  // nobody to ask: existing files are kept unless -o
    arc::OutputBuffer report(nullptr, 0);
    const int result = arc::cab::CabExtractor(host, report).run(program, options.dest, extractOptions);
    std::fflush(stdout);
    reportProblems(report.text());
    if (result == KA_OK) return 0;
    return result < 0x8000 ? 1 : 2;
}

}  // namespace kestrel::sfx
