#include "CabSfxMaker.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "ArchiverApi.h"
#include "CabArchive.h"
#include "CabExtractor.h"
#include "CabSourceList.h"
#include "CabinetWriter.h"
#include "CommandProgress.h"
#include "SafePath.h"
#include "ScratchPath.h"
#include "SfxTrailer.h"

namespace kestrel::arc::cab {

namespace {

std::string stem(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

CabWriteOptions sameMethodAs(const mscabd_cabinet* cab) {
    CabWriteOptions options;
    if (cab && cab->folders && MSCABD_COMP_METHOD(cab->folders->comp_type) == MSCAB_COMP_LZX) {
        options.method = CabMethod::Lzx;
        options.lzxWindowBits = MSCABD_COMP_LEVEL(cab->folders->comp_type);
    }
    return options;
}

}  // namespace

std::string CabSfxMaker::stubPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&CabSfxMaker::stubPath), &info) && info.dli_fname) {
        std::string self = info.dli_fname;
        size_t slash = self.rfind('/');
        if (slash != std::string::npos) return self.substr(0, slash) + "/kestrel-sfx";
    }
    return "kestrel-sfx";
}

int CabSfxMaker::run(const std::string& archivePath, const std::string& dest) {
    std::string message;
    bool isSetMember = false;
    {
        CabArchive archive;
        int rc = archive.open(archivePath, message);
        if (rc != KA_OK) {
            out_.line(message);
            return rc;
        }
        isSetMember = archive.cabinet()->flags & (MSCAB_HDR_PREVCAB | MSCAB_HDR_NEXTCAB);
    }
    const std::string folder = SafePath::folder(dest);
    const std::string output = (folder == "/" ? "" : folder) + "/" + stem(archivePath) + ".run";
    if (!CabExtractor::makeDestination(folder)) {
        out_.line("作成先フォルダを作成できません: " + folder);
        return KA_ERR_WRITE;
    }
    struct stat st{};
    if (::lstat(output.c_str(), &st) == 0) {
        switch (host_.askOverwrite(output)) {
        case Host::Overwrite::Replace: break;
        case Host::Overwrite::Keep:
            out_.line("既存のファイルを残しました: " + output);
            return KA_WARN_SKIPPED;
        case Host::Overwrite::Cancel: out_.line("中止しました"); return KA_ERR_CANCELLED;
        }
    }

    ScratchPath scratch(folder, ScratchPath::Kind::Folder);
    std::string payload = archivePath;
    if (isSetMember) {
        if (scratch.path().empty()) {
            out_.line("書き込めません: " + folder);
            return KA_ERR_WRITE;
        }
        payload = scratch.path() + "/payload.cab";
        int rc = repack(archivePath, scratch.path(), payload);
        if (rc != KA_OK) return rc;
    }
    if (::stat(payload.c_str(), &st) != 0) {
        out_.line("開けません: " + payload);
        return KA_ERR_OPEN;
    }
    // The program is written in one step: when the set's extraction did not
    // report on the way, the bar shows its start and its end.
    const uint64_t length = static_cast<uint64_t>(st.st_size);
    CommandProgress written(host_, length);
    if (!isSetMember && !written.report(output, 0)) {
        out_.line("中止しました");
        return KA_ERR_CANCELLED;
    }
    char why[512] = "";
    if (!kestrel_sfx_write(stubPath().c_str(), output.c_str(), payload.c_str(), 0, length, KESTREL_SFX_CAB,
                           KESTREL_SFX_KEEP_FOLDERS, why, sizeof why)) {
        out_.line(why);
        return KA_ERR_WRITE;
    }
    if (!isSetMember) written.report(output, length);
    out_.line("作成: " + output);
    return KA_OK;
}

int CabSfxMaker::repack(const std::string& archivePath, const std::string& folder, const std::string& payload) {
    // The whole set, asking for missing cabinets as an extraction of it would.
    const std::string files = folder + "/files/";
    OutputBuffer quiet(nullptr, 0);
    CabExtractor extractor(host_, quiet);
    CabExtractOptions options;
    options.askForMissing = true;
    int rc = extractor.run(archivePath, files, options);
    if (rc != KA_OK) {
        for (size_t start = 0; start < quiet.text().size();) {
            size_t end = quiet.text().find('\n', start);
            if (end == std::string::npos) end = quiet.text().size();
            out_.line(quiet.text().substr(start, end - start));
            start = end + 1;
        }
        return rc;
    }
    CabWriteOptions writeOptions;
    {
        CabArchive archive;
        std::string message;
        if (archive.open(archivePath, message) == KA_OK) writeOptions = sameMethodAs(archive.cabinet());
    }
    CabSourceList sources;
    rc = sources.collect(payload, false, files, {"*.*"}, true, out_);
    if (rc >= 0x8000) return rc;
    CabinetWriter writer(payload, writeOptions);
    std::string message;
    rc = writer.write(sources.take(), nullptr, message);
    if (rc != KA_OK) out_.line(message);
    return rc;
}

}  // namespace kestrel::arc::cab
