#include "app/AppPictures.h"

#include "platform/ToolbarPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

// The icon resource lives in this static library; nothing else would pull its
// initialiser into the program.
static void initIconResource() { Q_INIT_RESOURCE(icons); }

namespace {

const QColor& kInk = ToolbarPainter::ink;
const QColor kFolder(236, 190, 72);
const QColor kFolderDark(176, 128, 24);
const QColor kPaper(250, 250, 250);
const QColor& kBlue = ToolbarPainter::blue;
const QColor& kRed = ToolbarPainter::red;
const QColor& kGreen = ToolbarPainter::green;

using Draw = std::function<void(QPainter&)>;

void folder(QPainter& p, bool open = false)
{
    p.setPen(kFolderDark);
    p.setBrush(kFolder);
    p.drawPolygon(QPolygon({{1, 4}, {6, 4}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
    if (open) {
        p.setBrush(kFolder.lighter(115));
        p.drawPolygon(QPolygon({{3, 8}, {15, 8}, {13, 13}, {1, 13}}));
    }
}

void page(QPainter& p, QRect r)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QColor(150, 150, 150));
    for (int y = r.top() + 3; y < r.bottom() - 1; y += 2)
        p.drawLine(r.left() + 2, y, r.right() - 2, y);
}

void arrow(QPainter& p, QPoint from, QPoint to, QColor colour)
{
    ToolbarPainter::arrow(p, from, to, colour);
}

void box(QPainter& p)
{
    p.setPen(QColor(120, 80, 30));
    p.setBrush(QColor(205, 160, 100));
    p.drawRect(2, 7, 12, 8);
    p.drawLine(2, 10, 14, 10);
}

void bin(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(QColor(170, 185, 200));
    p.drawPolygon(QPolygon({{3, 4}, {13, 4}, {12, 15}, {4, 15}}));
    p.drawRect(2, 2, 12, 2);
    p.drawLine(6, 6, 6, 13);
    p.drawLine(8, 6, 8, 13);
    p.drawLine(10, 6, 10, 13);
}

void squares(QPainter& p, int size, int step, int columns, bool lines)
{
    p.setPen(kBlue.darker(130));
    p.setBrush(kBlue);
    for (int y = 1; y + size <= 15; y += step)
        for (int c = 0; c < columns; ++c) {
            const int x = 1 + c * (lines ? 8 : step);
            p.drawRect(x, y, size - 1, size - 1);
            if (lines) {
                p.setPen(kInk);
                p.drawLine(x + size + 1, y + size / 2, x + 6, y + size / 2);
                p.setPen(kBlue.darker(130));
            }
        }
}

const QHash<QString, Draw>& drawings()
{
    static const QHash<QString, Draw> table{
        {"Open", [](QPainter& p) { folder(p, true); }},
        {"UpLevel", [](QPainter& p) { folder(p); arrow(p, {8, 12}, {8, 3}, kGreen); }},
        {"NewFolder", [](QPainter& p) {
             folder(p);
             p.setPen(QPen(QColor(230, 170, 0), 2));
             p.drawLine(12, 0, 12, 6);
             p.drawLine(9, 3, 15, 3);
         }},
        {"Compress", [](QPainter& p) { box(p); arrow(p, {8, 0}, {8, 6}, kBlue); }},
        {"Extract", [](QPainter& p) { box(p); arrow(p, {8, 8}, {8, 1}, kGreen); }},
        {"Cut", [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.drawLine(5, 1, 10, 10);
             p.drawLine(11, 1, 6, 10);
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kRed, 1.5));
             p.drawEllipse(QRectF(2, 10, 4, 4));
             p.drawEllipse(QRectF(10, 10, 4, 4));
         }},
        {"Copy", [](QPainter& p) { page(p, {1, 1, 8, 10}); page(p, {6, 5, 8, 10}); }},
        {"Paste", [](QPainter& p) {
             p.setPen(QColor(110, 70, 20));
             p.setBrush(QColor(190, 140, 80));
             p.drawRect(1, 2, 10, 13);
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(4, 1, 4, 2);
             page(p, {7, 6, 8, 9});
         }},
        {"Dustbox", [](QPainter& p) { bin(p); }},
        {"Delete", [](QPainter& p) {
             bin(p);
             p.setPen(QPen(kRed, 2));
             p.drawLine(8, 7, 15, 14);
             p.drawLine(15, 7, 8, 14);
         }},
        {"Divide", [](QPainter& p) {
             page(p, {1, 1, 5, 14});
             page(p, {10, 1, 5, 14});
             p.setPen(QPen(kRed, 1, Qt::DotLine));
             p.drawLine(8, 0, 8, 15);
         }},
        {"Join", [](QPainter& p) {
             page(p, {1, 1, 5, 6});
             page(p, {1, 9, 5, 6});
             arrow(p, {7, 8}, {10, 8}, kGreen);
             page(p, {11, 2, 4, 12});
         }},
        {"Property", [](QPainter& p) {
             page(p, {2, 1, 11, 14});
             p.setPen(QPen(kBlue, 2));
             p.drawPoint(8, 4);
             p.drawLine(8, 7, 8, 12);
         }},
        {"Largeico", [](QPainter& p) { squares(p, 6, 8, 2, false); }},
        {"Smallico", [](QPainter& p) { squares(p, 3, 5, 3, false); }},
        {"Listico", [](QPainter& p) { squares(p, 3, 5, 2, true); }},
        {"Reportico", [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(210, 210, 210));
             p.drawRect(0, 1, 15, 3);
             for (int y = 6; y <= 14; y += 4) {
                 p.setBrush(kBlue);
                 p.drawRect(1, y, 2, 2);
                 p.drawLine(5, y + 1, 9, y + 1);
                 p.drawLine(11, y + 1, 14, y + 1);
             }
         }},
        {"Exit", [](QPainter& p) { ToolbarPainter::door(p); }},
    };
    return table;
}

} // namespace

QPixmap AppPictures::toolbarPicture(const QString& key)
{
    return ToolbarPainter::picture(drawings(), key, false);
}

const QHash<QString, QIcon>& AppPictures::tbImageList()
{
    static const QHash<QString, QIcon> list = [] {
        QHash<QString, QIcon> icons;
        for (auto it = drawings().cbegin(); it != drawings().cend(); ++it)
            icons.insert(it.key(), QIcon(toolbarPicture(it.key())));
        return icons;
    }();
    return list;
}

QPixmap AppPictures::logo(int size)
{
    // The application icon: a kestrel's wing over two file pages cut by a
    // dashed line, for the program began by cutting files.
    return windowIcon().pixmap(QSize(size, size));
}

QIcon AppPictures::windowIcon()
{
    // The installed application icon, rendered from dist/icons/*.svg, so the
    // window and the application menu show one picture.
    initIconResource();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kestrel/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}
