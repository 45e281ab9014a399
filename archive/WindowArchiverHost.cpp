#include "archive/WindowArchiverHost.h"

#include "archive/CloseGuard.h"

#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

#include <QWidget>

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> toUtf8(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    return text->toStdString();
}

} // namespace

WindowArchiverHost::WindowArchiverHost(ArchiveUi& ui, QString caption)
    : ui_(ui), caption_(std::move(caption)), closeGuard_(std::make_unique<CloseGuard>(ui.owner))
{
}

WindowArchiverHost::~WindowArchiverHost()
{
    finish();
}

void WindowArchiverHost::finish()
{
    if (progress_)
        progress_->finish();
    progress_.reset();
}

std::optional<std::string> WindowArchiverHost::askText(const std::string& prompt, const std::string& defaultText,
                                                       bool secret)
{
    if (secret)
        return toUtf8(ui_.prompter.inputSecret(fromUtf8(prompt), ApplicationTitle()));
    return toUtf8(ui_.prompter.input(fromUtf8(prompt), ApplicationTitle(), fromUtf8(defaultText)));
}

int WindowArchiverHost::askYesNo(const std::string& question)
{
    switch (ui_.prompter.message(fromUtf8(question), Prompter::Buttons::YesYesToAllNoCancel,
                                 Prompter::Icon::Question, ApplicationTitle())) {
    case Prompter::Answer::Yes: return KH_YES;
    case Prompter::Answer::YesToAll: return KH_YES_TO_ALL;
    case Prompter::Answer::No: return KH_NO;
    default: return KH_CANCEL;
    }
}

std::optional<std::string> WindowArchiverHost::askFile(const std::string& prompt, const std::string& wantedName)
{
    const QString wanted = fromUtf8(wantedName);
    // The wanted file first, every file as the way out when it was renamed.
    const QString filter = wanted.isEmpty() ? QString()
                                            : wanted + QStringLiteral(" (") + wanted + QStringLiteral(");;* (*)");
    return toUtf8(ui_.prompter.openFile(fromUtf8(prompt), QString(), filter));
}

bool WindowArchiverHost::progress(const std::string& name, uint64_t done, uint64_t total)
{
    if (!ui_.makeProgress)
        return true;
    if (!progress_) {
        progress_ = ui_.makeProgress();
        if (!progress_)
            return true;
        // Set before the window is first shown: while a library runs, no window of
        // the program may start another command.
        if (auto* window = dynamic_cast<QWidget*>(progress_.get()))
            window->setWindowModality(Qt::ApplicationModal);
        total_ = total;
        progress_->start(caption_, static_cast<qint64>(total));
    } else if (total != total_) {
        total_ = total;
        progress_->start(caption_, static_cast<qint64>(total));
    }
    return progress_->report(fromUtf8(name), static_cast<qint64>(done));
}
