#include "split/JoinOutput.h"

#include "archivers/common/AtomicFile.h"
#include "platform/FileOwnership.h"
#include "platform/FileStatus.h"

#include <QFile>

#include <cerrno>

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

} // namespace

JoinOutput::JoinOutput() = default;

JoinOutput::~JoinOutput()
{
    discard();
}

int JoinOutput::fd() const
{
    return file_ ? file_->descriptor() : -1;
}

QString JoinOutput::temporaryPath() const
{
    return file_ ? QFile::decodeName(file_->temporaryPath().c_str()) : QString();
}

bool JoinOutput::create(const QString& outputPath, int& error)
{
    // A link at the output is followed, so that the file it points at gets the
    // data (as writing through the link would) instead of the link being replaced.
    file_ = std::make_unique<kestrel::arc::AtomicFile>(native(outputPath).toStdString());
    file_->followLink();
    target_ = QFile::decodeName(file_->finalPath().c_str());
    const FileStatus existing = FileStatus::of(target_);
    if (existing.isFolder()) {
        error = EISDIR;
        return false;
    }
    // A device, pipe or socket at that name is not a file to replace: the rename
    // would take away the node itself (for root, even one in /dev).
    if (existing.exists() && !existing.isRegular()) {
        error = EEXIST;
        special_ = true;
        return false;
    }
    // A read-only file stays as it is: the rename below could replace it, but
    // the user has marked it as not to be written.
    if (const int refusal = FileOwnership::writeRefusal(native(target_).constData())) {
        error = refusal;
        return false;
    }
    // A short fixed-form name, so that a long output name cannot make it too long.
    file_->setTemporaryStem("kestrel-join-");
    if (!file_->open()) {
        error = errno;
        return false;
    }
    return true;
}

bool JoinOutput::commit(int& error)
{
    const FileStatus replaced = FileStatus::of(target_);
    const bool replacing = replaced.exists();
    // The replaced file keeps its permissions (not set-id bits: a joined file is
    // new data). Its data is made durable before the rename, so a crash cannot
    // leave the old file gone and the new one empty.
    // The owner and group come along where the process may give them (root,
    // or a group of the user's own); otherwise the file is the user's, as any
    // file the user writes anew.
    const int fd = file_->descriptor();
    if (replacing)
        FileOwnership::copyTo(fd, replaced);
    // A new file lets group and others read no more than every entry did. File
    // systems that decide modes themselves (FAT) refuse such a change: that is
    // no reason to fail the join.
    if (replacing)
        file_->setMode(replaced.permissions());
    else
        file_->setNewFileMode(0666 & (0700 | othersMay_));
    file_->setSync(replacing);
    if (!file_->commit()) {
        error = errno;
        return false;
    }
    return true;
}

void JoinOutput::discard()
{
    if (file_)
        file_->discard();
}
