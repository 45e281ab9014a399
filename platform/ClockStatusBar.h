#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

// The status bar `sbStatusBar` of the main window and of the archive viewer:
// a text panel "ｽﾃｰﾀｽ" taking the room the others leave, then the date and
// the time, which the bar keeps current itself.
class ClockStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit ClockStatusBar(QWidget* parent = nullptr);

    QLabel* panel(int index) const;  // 0 text, 1 date, 2 time

    static QString dateText(const QDateTime& now);
    static QString timeText(const QDateTime& now);

private:
    void tick();

    QLabel* panels_[3] = {};
    QTimer* timer_ = nullptr;
};
