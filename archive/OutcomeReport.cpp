#include "archive/OutcomeReport.h"

#include "archivers/common/ArchiverApi.h"
#include "platform/ApplicationTitle.h"
#include "platform/Prompter.h"

namespace {

QString joined(const QString& first, const QString& rest)
{
    const QString tail = rest.trimmed();
    return tail.isEmpty() ? first : first + QLatin1Char('\n') + tail;
}

} // namespace

bool OutcomeReport::show(Prompter& prompter, ArchiverKind kind, const ArchiverOutcome& outcome,
                         const QString& failureLine)
{
    if (!outcome.loaded) {
        prompter.message(joined(archiverName(kind) + QStringLiteral(" を読み込めませんでした。"),
                                outcome.loadError),
                         Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
        return false;
    }
    if (outcome.result == KA_OK)
        return true;
    if (outcome.result == KA_ERR_CANCELLED)
        return false;
    if (outcome.result == KA_WARN_SKIPPED) {
        prompter.message(outcome.report.trimmed(), Prompter::Buttons::Ok, Prompter::Icon::Information,
                         ApplicationTitle());
        return true;
    }
    prompter.message(joined(failureLine, outcome.report), Prompter::Buttons::Ok,
                     Prompter::Icon::Exclamation, ApplicationTitle());
    return false;
}
