#include "CabSourceList.h"

#include <sys/stat.h>

#include <set>

#include "ArchiverApi.h"
#include "Attributes.h"
#include "CabFormat.h"
#include "CabResult.h"
#include "DosTime.h"
#include "NameEncoding.h"
#include "PathText.h"
#include "TargetList.h"

namespace kestrel::arc::cab {

namespace {

std::string identity(const struct stat& st) {
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

}  // namespace

std::string CabSourceList::storedName(const std::string& name, uint16_t& attributes) {
    std::string stored = NameEncoding::toUtf8(name);
    for (char& c : stored)
        if (c == '/') c = '\\';
    if (!NameEncoding::isAscii(stored)) attributes |= kAttrNameIsUtf8;
    return stored;
}

int CabSourceList::collect(const std::string& archivePath, bool isSet, const std::string& base,
                           const std::vector<std::string>& targets, bool recurse, OutputBuffer& out) {
    std::vector<Target> expanded;
    std::vector<std::string> problems;
    TargetList::expand(base, targets, TargetList::Options{recurse, true}, expanded, problems);
    CabResult result;
    for (const std::string& problem : problems) {
        out.line("スキップ: " + problem);
        result.note(KA_WARN_SKIPPED);
    }

    // The cabinet being replaced must not be packed into itself.
    std::set<std::string> outputs;
    struct stat st{};
    if (::stat(archivePath.c_str(), &st) == 0) outputs.insert(identity(st));
    for (size_t i = 0; isSet && i < 1000; ++i) {
        if (::stat(CabinetWriter::volumePath(archivePath, i).c_str(), &st) != 0) break;
        outputs.insert(identity(st));
    }

    for (const Target& target : expanded) {
        if (target.isDirectory) continue;  // cabinets store folders only as name prefixes
        if (::stat(target.diskPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            out.line("スキップ: " + target.diskPath + " (通常のファイルではありません)");
            result.note(KA_WARN_SKIPPED);
            continue;
        }
        if (outputs.count(identity(st))) continue;
        if (static_cast<uint64_t>(st.st_size) > kMaxFolderSize) {
            out.line("大きすぎて CAB 書庫に格納できません: " + target.diskPath);
            return KA_ERR_UNSUPPORTED;
        }
        CabInput input;
        input.diskPath = target.diskPath;
        uint16_t attributes = Attributes::fromMode(st.st_mode, PathText::lastComponent(target.diskPath)) &
                              (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
        input.record.name = storedName(target.storedName, attributes);
        if (input.record.name.empty() || input.record.name.size() > kMaxNameLength) {
            out.line("スキップ: " + target.storedName + " (名前が長すぎます)");
            result.note(KA_WARN_SKIPPED);
            continue;
        }
        input.record.attributes = attributes;
        input.record.size = static_cast<uint32_t>(st.st_size);
        DosDateTime dos = DosTime::fromTimeT(st.st_mtime);
        input.record.date = dos.date;
        input.record.time = dos.time;
        inputs_.push_back(std::move(input));
    }
    if (inputs_.empty()) {
        out.line("格納するファイルがありません");
        return KA_ERR_NO_MATCH;
    }
    return result.code();
}

}  // namespace kestrel::arc::cab
