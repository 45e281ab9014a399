#include "archive/ViewerPictures.h"

#include "platform/ToolbarPainter.h"

#include <QHash>
#include <QPainter>

#include <functional>

namespace {

const QColor& kInk = ToolbarPainter::ink;
const QColor kBoxEdge(120, 80, 30);
const QColor kBox(205, 160, 100);
const QColor& kGreen = ToolbarPainter::green;
const QColor& kRed = ToolbarPainter::red;
const QColor& kBlue = ToolbarPainter::blue;

using Draw = ToolbarPainter::Draw;

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
    ToolbarPainter::arrow(p, from, to, colour);
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
        {QStringLiteral("OOFL"), [](QPainter& p) { ToolbarPainter::door(p); }},
    };
    return table;
}

} // namespace

QPixmap ViewerPictures::picture(const QString& key)
{
    return ToolbarPainter::picture(drawings(), key, true);
}
