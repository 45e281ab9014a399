#include "platform/ToolbarPainter.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

const QColor ToolbarPainter::ink(40, 40, 40);
const QColor ToolbarPainter::blue(40, 100, 200);
const QColor ToolbarPainter::red(200, 40, 40);
const QColor ToolbarPainter::green(40, 150, 60);

void ToolbarPainter::arrow(QPainter& p, QPoint from, QPoint to, QColor colour)
{
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(from, to);
    const QPointF d = QPointF(to - from) / std::max(1.0, QLineF(from, to).length());
    const QPointF side(-d.y(), d.x());
    const QPointF tip(to);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip + d * 2, tip - d * 3 + side * 3, tip - d * 3 - side * 3}));
}

void ToolbarPainter::door(QPainter& p)
{
    p.setPen(ink);
    p.setBrush(QColor(150, 90, 50));
    p.drawRect(2, 1, 8, 14);
    p.setBrush(ink);
    p.drawEllipse(QRectF(7.5, 7.5, 1.5, 1.5));
    arrow(p, {8, 8}, {15, 8}, red);
}

QPixmap ToolbarPainter::picture(const QHash<QString, Draw>& table, const QString& key, bool antialiased)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    const auto draw = table.constFind(key);
    if (draw != table.cend()) {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, antialiased);
        (*draw)(p);
    }
    return pixmap;
}
