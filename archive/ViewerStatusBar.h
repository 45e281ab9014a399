#pragma once

#include <QStatusBar>

class QDateTime;
class QLabel;

// The viewer's status bar `sbStatusBar`: the text "ｽﾃｰﾀｽ" taking the room the
// others leave, then the current date and time, kept current by the bar.
class ViewerStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit ViewerStatusBar(QWidget* parent = nullptr);

    QLabel* panel(int index) const;  // 0 text, 1 date, 2 time

    static QString dateText(const QDateTime& now);
    static QString timeText(const QDateTime& now);

private:
    void tick();

    QLabel* panels_[3] = {};
};
