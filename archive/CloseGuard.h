#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Refuses to let a window close while it lives: the window's close events are
// ignored (the frame's close button, Alt+F4, a close() from a queued slot).
// Used around a library call, which must return before its window goes away.
class CloseGuard : public QObject {
public:
    explicit CloseGuard(QWidget* window);
    ~CloseGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};
