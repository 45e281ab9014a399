#include "platform/ClockStatusBar.h"

#include "platform/Twips.h"

#include <QDateTime>
#include <QLabel>
#include <QTimer>

namespace {

QLabel* makePanel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);  // the inset bevel
    label->setMinimumWidth(Twips::toPixelsX(1440));
    label->setContentsMargins(3, 0, 3, 0);
    return label;
}

} // namespace

ClockStatusBar::ClockStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(false);
    panels_[0] = makePanel(this, "sbStatusBar_Panel1");
    panels_[0]->setText(QStringLiteral("ｽﾃｰﾀｽ"));
    panels_[1] = makePanel(this, "sbStatusBar_Panel2");
    panels_[2] = makePanel(this, "sbStatusBar_Panel3");
    addWidget(panels_[0], 1);
    addPermanentWidget(panels_[1]);
    addPermanentWidget(panels_[2]);

    tick();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &ClockStatusBar::tick);
    timer_->start(1000);
}

QLabel* ClockStatusBar::panel(int index) const
{
    return index >= 0 && index < 3 ? panels_[index] : nullptr;
}

QString ClockStatusBar::dateText(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyy/MM/dd"));
}

QString ClockStatusBar::timeText(const QDateTime& now)
{
    return now.toString(QStringLiteral("H:mm"));
}

void ClockStatusBar::tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    panels_[1]->setText(dateText(now));
    panels_[2]->setText(timeText(now));
}
