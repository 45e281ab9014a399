#include "fileops/TrashCommands.h"

#include "browse/CommandHost.h"
#include "fileops/CollectSelection.h"
#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

namespace {

const QString Title = ApplicationTitle();
// Enough failed names for the user to see what stayed, few enough to read.
constexpr int ShownFailures = 5;

QString shownName(const QString& path)
{
    if (path == QLatin1String("/"))
        return path;
    return path.mid(path.lastIndexOf(u'/') + 1);
}

}  // namespace

TrashCommands::TrashCommands(CommandHost& host) : host_(host) {}

void TrashCommands::mnuFileDelete_Click()
{
    QStringList& paths = host_.pathList();
    paths = CollectSelection(host_);
    if (paths.isEmpty()) {
        host_.refreshAll();
        return;
    }
    // The user's own No is no failure: nothing changed, nothing to report.
    if (!confirmDelete(paths))
        return;
    for (QString& entry : paths) {
        entry = WithoutTrailingSlash(entry);
        const Step step = deleteOne(entry);
        if (step == Step::Failed) {
            host_.prompter().message(QStringLiteral("処理が失敗しました。"), Prompter::Buttons::Ok,
                                     Prompter::Icon::Exclamation, Title);
            return;
        }
        if (step == Step::Cancelled)
            break;  // what was done so far stays done and is shown
    }
    host_.refreshAll();
}

bool TrashCommands::confirmDelete(const QStringList& paths)
{
    const QString text = paths.size() == 1
        ? QStringLiteral("「%1」をごみ箱に移動しますか?").arg(shownName(WithoutTrailingSlash(paths.first())))
        : QStringLiteral("これらの %1 個の項目をごみ箱に移動しますか?").arg(paths.size());
    return host_.prompter().message(text, Prompter::Buttons::YesNo, Prompter::Icon::Question, Title)
           == Prompter::Answer::Yes;
}

TrashCommands::Step TrashCommands::deleteOne(const QString& path)
{
    const TrashService::Result result = service_.trash(path);
    switch (result.outcome) {
    case TrashService::Outcome::Trashed:
        return Step::Done;
    case TrashService::Outcome::Failed:
        return Step::Failed;
    case TrashService::Outcome::NoTrash:
        break;
    }
    const QString question = QStringLiteral("「%1」はごみ箱に移動できません。完全に削除しますか?")
                                 .arg(shownName(path));
    if (host_.prompter().message(question, Prompter::Buttons::YesNoDefaultNo, Prompter::Icon::Question, Title)
        != Prompter::Answer::Yes)
        return Step::Skipped;  // kept, as the user said; the others still go
    return deleteForGood(path);
}

TrashCommands::Step TrashCommands::deleteForGood(const QString& path)
{
    // A big folder takes a while to delete entry by entry.
    const std::unique_ptr<Progress> progress = host_.makeProgress();
    const TrashService::EmptyReport report = service_.deleteForGood(path, progress.get());
    if (report.cancelled)
        return Step::Cancelled;
    return report.failures.isEmpty() ? Step::Done : Step::Failed;
}

void TrashCommands::mnuFileVacume_Click()
{
    const int count = service_.trashedCount();
    if (count == 0)
        return;  // nothing to empty: no question, as the desktop's trash does
    const QString question = QStringLiteral("ごみ箱を空にしますか?\n%1 個の項目が完全に削除されます。").arg(count);
    if (host_.prompter().message(question, Prompter::Buttons::YesNo, Prompter::Icon::Question, Title)
        != Prompter::Answer::Yes)
        return;
    const std::unique_ptr<Progress> progress = host_.makeProgress();
    const TrashService::EmptyReport report = service_.emptyAll(progress.get());
    if (!report.cancelled && !report.failures.isEmpty())
        reportEmptyFailures(report.failures);
}

void TrashCommands::reportEmptyFailures(const QStringList& failures)
{
    QString text = QStringLiteral("ごみ箱の次の項目を削除できませんでした。");
    for (const QString& line : failures.mid(0, ShownFailures))
        text += u'\n' + line;
    if (failures.size() > ShownFailures)
        text += QStringLiteral("\nほか %1 件").arg(failures.size() - ShownFailures);
    host_.prompter().message(text, Prompter::Buttons::Ok, Prompter::Icon::Exclamation, Title);
}
