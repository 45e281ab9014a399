#pragma once

#include "platform/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of long work: caption, the current item, bytes done of
// the total, and a Cancel button. It stays hidden for the first half second,
// so quick work shows nothing; once shown it is window-modal over its owner
// and keeps the windows painted by running the event loop briefly from
// report(), at most every 50 ms.
class ProgressWindow : public QDialog, public Progress {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* owner);

    void start(const QString& caption, qint64 totalBytes) override;
    bool report(const QString& item, qint64 bytesDone) override;
    void finish() override;

    bool cancelled() const { return cancelled_; }

    // The sizes as the window shows them ("12.3 MB / 1.0 GB").
    static QString bytesText(qint64 done, qint64 total);

protected:
    void reject() override;  // Esc and the frame's close button cancel too

private:
    void showNow();
    void refresh(const QString& item, qint64 bytesDone);

    QLabel* itemLabel_ = nullptr;
    QLabel* bytesLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QElapsedTimer sinceStart_;
    QElapsedTimer sincePump_;
    qint64 total_ = 0;
    bool cancelled_ = false;
    bool shownBefore_ = false;
};
