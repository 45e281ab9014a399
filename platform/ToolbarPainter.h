#pragma once

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <QString>

#include <functional>

class QPainter;

// What the windows' toolbar pictures share: their colours, the arrow and the
// door drawn on several of them, and turning a table of drawings into 16 by
// 16 pictures.
class ToolbarPainter {
public:
    using Draw = std::function<void(QPainter&)>;

    static const QColor ink;
    static const QColor blue;
    static const QColor red;
    static const QColor green;

    // A thick arrow from `from` to `to` with its head at `to`.
    static void arrow(QPainter& p, QPoint from, QPoint to, QColor colour);
    // A door with the way out: the picture of closing a window.
    static void door(QPainter& p);

    // The picture `key` of `table`, transparent where nothing is drawn (and
    // wholly so for a key the table lacks).
    static QPixmap picture(const QHash<QString, Draw>& table, const QString& key, bool antialiased);
};
