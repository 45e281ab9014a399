#include "archive/ExtractCommand.h"

#include "archive/ArchiveState.h"
#include "archive/Archiver.h"
#include "archive/OutcomeReport.h"
#include "archive/frmExtract.h"
#include "browse/CommandHost.h"
#include "browse/FileListView.h"
#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

#include <QFileInfo>

ExtractCommand::ExtractCommand(CommandHost& host, Archiver& archiver, ArchiveState& state)
    : showViewer([](frmExtract& viewer) { viewer.exec(); }), host_(host), archiver_(archiver), state_(state)
{
}

bool ExtractCommand::mayBeMultiVolume(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > 0 && ArchiveState::typeOf(path) == QLatin1String("CAB") && path.at(dot - 1).isDigit()
        && path.at(dot - 1).unicode() < 0x80;
}

void ExtractCommand::run()
{
    if (!host_.listClicked())
        return;
    if (!collect())
        return;
    open(state_.archivePath);
}

void ExtractCommand::open(const QString& archive)
{
    state_.archivePath = archive;
    if (mayBeMultiVolume(archive) && offerMultiVolume())
        return;
    {
        frmExtract viewer(archiver_, state_, host_.prompter(), host_.ownerWindow());
        showViewer(viewer);
    }
    host_.refreshAll();
}

// Sets the archive path from the one selected file. A folder, or a second
// file, stops the command with a message; so does an empty selection, without
// one: there is nothing to extract, and the path of an earlier Extract is not
// a choice the user made now.
bool ExtractCommand::collect()
{
    const QList<FileListItem> selected = host_.fileList()->selectedItems();
    if (selected.isEmpty())
        return false;
    int counted = 0;
    for (const FileListItem& item : selected) {
        if (item.type == FileListView::FolderType) {
            tell(QStringLiteral("フォルダを選択する事はできません"));
            return false;
        }
        state_.archivePath = item.key;
        if (++counted == 2) {
            tell(QStringLiteral("複数のファイルを選択する事はできません"));
            return false;
        }
    }
    return true;
}

bool ExtractCommand::offerMultiVolume()
{
    if (!ask(QStringLiteral("マルチボリュームの先頭ファイルですか?"))) {
        tell(QStringLiteral("通常解凍します"));
        return false;
    }
    if (!ask(QStringLiteral("マルチボリューム解凍しますか?")))
        return false;
    std::optional<QString> folder = host_.prompter().pickFolder(QStringLiteral("解凍先フォルダを指定して下さい"), host_.Path());
    if (!folder)
        return true;
    if (!folder->endsWith(u'/'))
        *folder += u'/';
    extractSet(*folder);
    return true;
}

// A double quote would end the quoted argument early and leave the rest of
// the path to be read as other arguments.
void ExtractCommand::extractSet(const QString& destination)
{
    const QString& archive = state_.archivePath;
    if (archive.contains(u'"') || destination.contains(u'"')) {
        host_.prompter().message(
            QStringLiteral("解凍できませんでした。\n書庫と解凍先のパスに \" を含めることはできません。"),
            Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
        return;
    }
    ArchiverCall call;
    call.kind = ArchiverKind::Cab;
    call.commandLine = QStringLiteral("-x -k \"%1\" \"%2\" \"*.*\"").arg(archive, destination);
    call.bufferSize = QFileInfo(archive).size();
    call.caption = QStringLiteral("解凍");
    ArchiveUi ui{host_.prompter(), host_.ownerWindow(), [this] { return host_.makeProgress(); }};
    const ArchiverOutcome outcome = archiver_.run(call, ui);
    OutcomeReport::show(host_.prompter(), call.kind, outcome, QStringLiteral("解凍できませんでした。"));
}

// Selection messages and the note carry no icon.
void ExtractCommand::tell(const QString& text)
{
    host_.prompter().message(text, Prompter::Buttons::Ok, Prompter::Icon::None, ApplicationTitle());
}

bool ExtractCommand::ask(const QString& question)
{
    return host_.prompter().message(question, Prompter::Buttons::YesNo, Prompter::Icon::Question,
                                    ApplicationTitle())
        == Prompter::Answer::Yes;
}
