#include "archive/ViewerStatusBar.h"

#include "platform/Twips.h"

#include <QDateTime>
#include <QLabel>
#include <QTimer>

ViewerStatusBar::ViewerStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("sbStatusBar_Panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(Twips::toPixelsX(1440));
        label->setContentsMargins(3, 0, 3, 0);
        panels_[i] = label;
    }
    panels_[0]->setText(QStringLiteral("ｽﾃｰﾀｽ"));
    addWidget(panels_[0], 1);
    addPermanentWidget(panels_[1]);
    addPermanentWidget(panels_[2]);
    setFixedHeight(Twips::toPixelsY(270));

    tick();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ViewerStatusBar::tick);
    timer->start(1000);
}

QLabel* ViewerStatusBar::panel(int index) const
{
    return index >= 0 && index < 3 ? panels_[index] : nullptr;
}

QString ViewerStatusBar::dateText(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyy/MM/dd"));
}

QString ViewerStatusBar::timeText(const QDateTime& now)
{
    return now.toString(QStringLiteral("H:mm"));
}

void ViewerStatusBar::tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    panels_[1]->setText(dateText(now));
    panels_[2]->setText(timeText(now));
}
