#include "split/DivideCommand.h"

#include "browse/CommandHost.h"
#include "browse/FileListView.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/FailureReason.h"
#include "platform/FileStatus.h"
#include "platform/ApplicationTitle.h"
#include "split/PartName.h"
#include "split/PartWriter.h"
#include "split/frmDivideDialog.h"

#include <array>

DivideCommand::DivideCommand(CommandHost& host)
    : showDialog([](frmDivideDialog& dialog) { dialog.exec(); }), host_(host)
{
}

std::optional<qint64> DivideCommand::partSize(int choice)
{
    // KiB per part: just under a floppy, a 100 MB and a 230 MB disk.
    static constexpr std::array<qint64, 3> kibPerPart{1423, 97656, 224609};
    if (choice < 0 || choice >= int(kibPerPart.size()))
        return std::nullopt;
    return kibPerPart[size_t(choice)] * 1024;
}

void DivideCommand::run()
{
    if (!host_.listClicked())
        return;
    const std::optional<Selected> file = collect();
    if (!file)
        return;

    const FileStatus status = FileStatus::of(file->path);
    if (!status.exists()) {
        say(QStringLiteral("分割できませんでした。\n%1 を開けませんでした。%2")
                .arg(file->name, FailureReason::forErrno(status.error())));
        host_.refreshAll();
        return;
    }
    const qint64 length = status.size();

    const std::optional<qint64> size = askPartSize();
    if (!size)
        return;
    if (PartWriter::partCount(length, *size) == 1) {
        tell(QStringLiteral("切断する必要はありません"));
        return;
    }
    divide(*file, length, *size);
}

// Refills PathList with the selected files (a later Paste works on them) and answers the one
// file to divide; nothing after a message, or when nothing is selected.
std::optional<DivideCommand::Selected> DivideCommand::collect()
{
    const QList<FileListItem> selected = host_.fileList()->selectedItems();
    // Nothing selected: nothing to divide, and the paths of the last command stay.
    if (selected.isEmpty())
        return std::nullopt;

    QStringList& paths = host_.pathList();
    paths.clear();
    Selected file;
    for (const FileListItem& item : selected) {
        if (item.type == FileListView::FolderType) {
            tell(QStringLiteral("フォルダを選択する事はできません"));
            return std::nullopt;
        }
        paths << item.key;
        file = {item.name, item.key};
    }
    if (paths.size() > 1) {
        tell(QStringLiteral("複数のファイルを選択する事はできません"));
        return std::nullopt;
    }
    return file;
}

std::optional<qint64> DivideCommand::askPartSize()
{
    frmDivideDialog dialog(host_.ownerWindow());
    dialog.centreOn(host_.ownerWindow());
    showDialog(dialog);
    return partSize(dialog.splitSizeChoice());
}

// An empty file has no parts: nothing is written and nothing said, but the list is refreshed
// like after any divide. A failure says why; Cancel was the user's own word and says nothing.
void DivideCommand::divide(const Selected& file, qint64 length, qint64 partSize)
{
    const qint64 parts = PartWriter::partCount(length, partSize);
    if (parts > 0) {
        const std::unique_ptr<Progress> progress = host_.makeProgress();
        const PartWriter::Result result = PartWriter::divide(
            file.path, host_.Path(), PartName::base(file.name, parts), partSize, *progress, length);
        if (!result.ok && !result.cancelled)
            say(QStringLiteral("分割できませんでした。\n") + result.error);
    }
    host_.refreshAll();
}

// The command's own three refusals carry no icon.
void DivideCommand::tell(const QString& text)
{
    host_.prompter().message(text, Prompter::Buttons::Ok, Prompter::Icon::None, ApplicationTitle());
}

// A failure to read or write says so with the exclamation icon.
void DivideCommand::say(const QString& text)
{
    host_.prompter().message(text, Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
}
