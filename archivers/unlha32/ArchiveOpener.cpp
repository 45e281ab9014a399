#include "ArchiveOpener.h"

namespace kestrel::lzh {

bool ArchiveOpener::forReading(const std::string& path, LzhArchive& archive, CommandContext& ctx) {
    switch (archive.open(path)) {
        case LzhArchive::Status::Ok:
            return true;
        case LzhArchive::Status::CannotOpen:
            ctx.fail(KA_ERR_OPEN, path + ": 書庫を開けません");
            return false;
        case LzhArchive::Status::NotArchive:
            ctx.fail(KA_ERR_NOT_ARCHIVE, path + ": " + archive.problem());
            return false;
        case LzhArchive::Status::Damaged:
            ctx.fail(KA_ERR_DAMAGED, path + ": 書庫が壊れています (" + archive.problem() + ")");
            return true;
    }
    return false;
}

bool ArchiveOpener::forEditing(const std::string& path, LzhArchive& archive, CommandContext& ctx) {
    auto status = archive.open(path);
    if (status == LzhArchive::Status::Damaged) {
        ctx.fail(KA_ERR_DAMAGED, path + ": 書庫が壊れているため変更しません (" + archive.problem() + ")");
        return false;
    }
    if (status == LzhArchive::Status::CannotOpen) {
        ctx.fail(KA_ERR_OPEN, path + ": 書庫を開けません");
        return false;
    }
    if (status == LzhArchive::Status::NotArchive) {
        ctx.fail(KA_ERR_NOT_ARCHIVE, path + ": " + archive.problem());
        return false;
    }
    if (archive.hasPrefix()) {
        ctx.fail(KA_ERR_UNSUPPORTED, path + ": 自己解凍書庫は変更できません");
        return false;
    }
    return true;
}

}  // namespace kestrel::lzh
