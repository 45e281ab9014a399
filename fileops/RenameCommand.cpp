#include "fileops/RenameCommand.h"

#include "browse/CommandHost.h"
#include "browse/FileListView.h"
#include "platform/ApplicationTitle.h"
#include "platform/Attributes.h"
#include "platform/FileStatus.h"
#include "platform/NoReplaceRename.h"
#include "platform/Prompter.h"

namespace {
const QString Title = ApplicationTitle();
}  // namespace

RenameCommand::RenameCommand(CommandHost& host) : host_(host) {}

void RenameCommand::attach(FileListView& list)
{
    // Direct: the list waits for the answer to `cancel` before it opens the editor.
    QObject::connect(&list, &FileListView::beforeLabelEdit, &list,
                     [this](const QString& key, const QString& text, bool* cancel) {
                         lvListView_BeforeLabelEdit(key, text, cancel);
                     });
    QObject::connect(&list, &FileListView::afterLabelEdit, &list,
                     [this](const QString& key, const QString& oldText, const QString& newText) {
                         lvListView_AfterLabelEdit(key, oldText, newText);
                     });
}

void RenameCommand::lvListView_BeforeLabelEdit(const QString& key, const QString& text, bool* cancel)
{
    Q_UNUSED(key)
    oldName_ = text;
    const std::uint32_t attributes = Attributes::ofPath(host_.Path() + oldName_);
    if (!(attributes & (Attributes::ReadOnly | Attributes::Hidden | Attributes::System)))
        return;
    const QString question = QStringLiteral("これらのﾌｧｲﾙ名を変更すると動作に影響を及ぼす可能性があります。")
                             + QStringLiteral("\r\n") + QStringLiteral("ﾌｧｲﾙ名変更を続行しますか?");
    if (host_.prompter().message(question, Prompter::Buttons::YesNoDefaultNo, Prompter::Icon::Stop, Title)
        != Prompter::Answer::Yes)
        *cancel = true;
}

void RenameCommand::lvListView_AfterLabelEdit(const QString& key, const QString& oldText,
                                              const QString& newText)
{
    Q_UNUSED(key)
    const QString oldName = oldText.isEmpty() ? oldName_ : oldText;
    if (!newText.isEmpty() && isPlainName(newText) && isPlainName(oldName)) {
        const QString target = host_.Path() + newText;
        // An existing entry (the same name, or one the volume folds to it) stays as it is.
        if (!entryExists(target))
            renameEntry(host_.Path() + oldName, target);  // on failure the old name stays
    }
    host_.refreshAll();
}

bool RenameCommand::isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(u'/') && !name.contains(QChar(0));
}

bool RenameCommand::entryExists(const QString& path)
{
    // The entry itself: a link counts even when what it points at is gone, and a
    // name that cannot be looked at is not taken to be free.
    return !FileStatus::ofEntry(path).certainlyAbsent();
}

bool RenameCommand::renameEntry(const QString& from, const QString& to)
{
    // Never replace: an entry of the new name may appear after the test above.
    return NoReplaceRename::rename(from, to);
}
