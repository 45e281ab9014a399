#include "archive/WindowArchiverHost.h"

#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <cstring>

namespace {

// Copies `text` into a caller's buffer of `size` bytes; false when it does not fit.
bool copyOut(const QString& text, char* out, size_t size)
{
    const QByteArray bytes = text.toUtf8();
    if (out == nullptr || size == 0 || static_cast<size_t>(bytes.size()) >= size)
        return false;
    std::memcpy(out, bytes.constData(), static_cast<size_t>(bytes.size()));
    out[bytes.size()] = '\0';
    return true;
}

WindowArchiverHost& self(void* context)
{
    return *static_cast<WindowArchiverHost*>(context);
}

} // namespace

WindowArchiverHost::WindowArchiverHost(ArchiveUi& ui, QString caption)
    : ui_(ui), caption_(std::move(caption))
{
    std::memset(&host_, 0, sizeof host_);
    host_.structSize = sizeof host_;
    host_.context = this;
    host_.askText = &WindowArchiverHost::askText;
    host_.askYesNo = &WindowArchiverHost::askYesNo;
    host_.askFile = &WindowArchiverHost::askFile;
    host_.progress = &WindowArchiverHost::progress;
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

int WindowArchiverHost::askText(void* context, const char* prompt, const char* defaultText, int,
                                char* answer, size_t answerSize)
{
    WindowArchiverHost& h = self(context);
    const auto text = h.ui_.prompter.input(QString::fromUtf8(prompt), ApplicationTitle(),
                                           QString::fromUtf8(defaultText ? defaultText : ""));
    return text && copyOut(*text, answer, answerSize) ? 1 : 0;
}

int WindowArchiverHost::askYesNo(void* context, const char* question)
{
    WindowArchiverHost& h = self(context);
    switch (h.ui_.prompter.message(QString::fromUtf8(question), Prompter::Buttons::YesNoCancel,
                                   Prompter::Icon::Question, ApplicationTitle())) {
    case Prompter::Answer::Yes: return KH_YES;
    case Prompter::Answer::No: return KH_NO;
    default: return KH_CANCEL;
    }
}

int WindowArchiverHost::askFile(void* context, const char* prompt, const char* wantedName, char* path,
                                size_t pathSize)
{
    WindowArchiverHost& h = self(context);
    const QString wanted = QString::fromUtf8(wantedName ? wantedName : "");
    const auto chosen = h.ui_.prompter.openFile(QString::fromUtf8(prompt), QString(),
                                                wanted.isEmpty() ? QString() : wanted + QStringLiteral(" (*)"));
    return chosen && copyOut(*chosen, path, pathSize) ? 1 : 0;
}

int WindowArchiverHost::progress(void* context, const char* name, uint64_t done, uint64_t total)
{
    WindowArchiverHost& h = self(context);
    if (!h.ui_.makeProgress)
        return 0;
    if (!h.progress_) {
        h.progress_ = h.ui_.makeProgress();
        h.total_ = total;
        h.progress_->start(h.caption_, static_cast<qint64>(total));
    } else if (total != h.total_) {
        h.total_ = total;
        h.progress_->start(h.caption_, static_cast<qint64>(total));
    }
    return h.progress_->report(QString::fromUtf8(name ? name : ""), static_cast<qint64>(done)) ? 0 : 1;
}
