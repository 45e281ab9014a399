#include "archive/CloseGuard.h"

#include <QEvent>
#include <QWidget>

CloseGuard::CloseGuard(QWidget* window) : window_(window ? window->window() : nullptr)
{
    if (window_)
        window_->installEventFilter(this);
}

CloseGuard::~CloseGuard()
{
    if (window_)
        window_->removeEventFilter(this);
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
