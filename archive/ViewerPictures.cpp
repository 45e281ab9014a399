#include "archive/ViewerPictures.h"

#include <QHash>
#include <QPainter>

#include <functional>

namespace {

const QColor kInk(40, 40, 40);
const QColor kBoxEdge(120, 80, 30);
const QColor kBox(205, 160, 100);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kBlue(40, 100, 200);

using Draw = std::function<void(QPainter&)>;

// The archive itself: a parcel with its band.
void parcel(QPainter& p, QRect r)
{
    p.setPen(kBoxEdge);
    p.setBrush(kBox);
    p.drawRect(r);
    p.drawLine(r.left(), r.top() + r.height() / 2, r.right(), r.top() + r.height() / 2);
    p.drawLine(r.left() + r.width() / 2, r.top(), r.left() + r.width() / 2, r.bottom());
}

void arrow(QPainter& p, QPoint from, QPoint to, QColor colour)
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

const QHash<QString, Draw>& drawings()
{
    static const QHash<QString, Draw> table{
        // A page going into the parcel.
        {QStringLiteral("New"), [](QPainter& p) {
             parcel(p, {1, 8, 13, 7});
             p.setPen(kInk);
             p.setBrush(Qt::white);
             p.drawRect(9, 0, 6, 7);
             arrow(p, {7, 1}, {4, 6}, kBlue);
         }},
        // Something leaving the parcel upwards.
        {QStringLiteral("Extract"), [](QPainter& p) {
             parcel(p, {1, 8, 13, 7});
             arrow(p, {8, 9}, {8, 1}, kGreen);
         }},
        // A program window with the parcel in it.
        {QStringLiteral("EXE"), [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(Qt::white);
             p.drawRect(0, 1, 15, 13);
             p.setBrush(kBlue);
             p.drawRect(0, 1, 15, 3);
             parcel(p, {4, 7, 7, 5});
         }},
        // The parcel struck through.
        {QStringLiteral("Delete"), [](QPainter& p) {
             parcel(p, {1, 5, 13, 9});
             p.setPen(QPen(kRed, 2));
             p.drawLine(2, 2, 14, 14);
             p.drawLine(14, 2, 2, 14);
         }},
        // A door with the way out.
        {QStringLiteral("OOFL"), [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(150, 90, 50));
             p.drawRect(2, 1, 8, 14);
             p.setBrush(kInk);
             p.drawEllipse(QRectF(7.5, 7.5, 1.5, 1.5));
             arrow(p, {8, 8}, {15, 8}, kRed);
         }},
    };
    return table;
}

} // namespace

QPixmap ViewerPictures::picture(const QString& key)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    const auto draw = drawings().constFind(key);
    if (draw != drawings().cend()) {
        QPainter p(&pixmap);
        (*draw)(p);
    }
    return pixmap;
}
