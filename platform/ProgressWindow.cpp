#include "platform/ProgressWindow.h"

#include <QCoreApplication>
#include <algorithm>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qint64 kShowAfterMs = 500;
constexpr qint64 kPumpEveryMs = 50;
constexpr int kBarSteps = 1000;  // bytes may exceed an int: the bar counts permille

} // namespace

ProgressWindow::ProgressWindow(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(420);

    itemLabel_ = new QLabel(this);
    itemLabel_->setObjectName(QStringLiteral("lblItem"));
    itemLabel_->setTextFormat(Qt::PlainText);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kBarSteps);
    bytesLabel_ = new QLabel(this);
    bytesLabel_->setObjectName(QStringLiteral("lblBytes"));
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(itemLabel_);
    layout->addWidget(bar_);
    layout->addWidget(bytesLabel_);
    layout->addLayout(buttons);
}

void ProgressWindow::start(const QString& caption, qint64 totalBytes)
{
    setWindowTitle(caption);
    total_ = totalBytes;
    bar_->setRange(0, total_ > 0 ? kBarSteps : 0);
    if (!sinceStart_.isValid())
        sinceStart_.start();
    // A command that runs several pieces of work through one window (a paste
    // of several entries) keeps it up once it has been seen.
    if (shownBefore_)
        showNow();
}

bool ProgressWindow::report(const QString& item, qint64 bytesDone)
{
    if (!isVisible() && sinceStart_.isValid() && sinceStart_.elapsed() >= kShowAfterMs)
        showNow();
    // Events run only while the window is shown: it is window-modal then, so
    // no command of the main window can start in the middle of this one.
    if (isVisible() && (!sincePump_.isValid() || sincePump_.elapsed() >= kPumpEveryMs)) {
        refresh(item, bytesDone);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        sincePump_.start();
    }
    return !cancelled_;
}

void ProgressWindow::finish()
{
    hide();
    sinceStart_.invalidate();
}

void ProgressWindow::reject()
{
    cancelled_ = true;
    cancelButton_->setEnabled(false);
}

void ProgressWindow::showNow()
{
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    show();
    raise();
    shownBefore_ = true;
}

void ProgressWindow::refresh(const QString& item, qint64 bytesDone)
{
    itemLabel_->setText(item);
    bytesLabel_->setText(bytesText(bytesDone, total_));
    if (total_ > 0)
        bar_->setValue(static_cast<int>(std::clamp<qint64>(bytesDone * kBarSteps / total_, 0, kBarSteps)));
}

QString ProgressWindow::bytesText(qint64 done, qint64 total)
{
    const QLocale c = QLocale::c();
    const QString doneText = c.formattedDataSize(done, 1, QLocale::DataSizeSIFormat);
    if (total <= 0)
        return doneText;
    return doneText + QStringLiteral(" / ") + c.formattedDataSize(total, 1, QLocale::DataSizeSIFormat);
}
