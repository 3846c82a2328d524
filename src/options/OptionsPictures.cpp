#include "OptionsPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

#include <functional>

namespace {

// Every picture is drawn on a 32 x 32 canvas; QIcon scales it to the button's icon size.
constexpr int kSize = 32;

QIcon drawn(const std::function<void(QPainter &)> &paint)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

QIcon arrow(bool up)
{
    return drawn([up](QPainter &p) {
        // Drawn pointing up; the downward arrow is its mirror image.
        QPainterPath path;
        path.moveTo(16, 3);
        path.lineTo(29, 17);
        path.lineTo(21, 17);
        path.lineTo(21, 29);
        path.lineTo(11, 29);
        path.lineTo(11, 17);
        path.lineTo(3, 17);
        path.closeSubpath();
        p.setPen(QPen(QColor(0x20, 0x40, 0x90), 1.5));
        p.setBrush(QColor(0x40, 0x80, 0xe0));
        p.drawPath(up ? path : QTransform(1, 0, 0, -1, 0, kSize).map(path));
    });
}

} // namespace

QIcon OptionsPictures::add()
{
    return drawn([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0xa0, 0x30));
        p.drawRoundedRect(QRectF(12, 3, 8, 26), 2, 2);
        p.drawRoundedRect(QRectF(3, 12, 26, 8), 2, 2);
    });
}

QIcon OptionsPictures::remove()
{
    return drawn([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd0, 0x30, 0x20));
        p.drawRoundedRect(QRectF(3, 12, 26, 8), 2, 2);
    });
}

QIcon OptionsPictures::moveUp()
{
    return arrow(true);
}

QIcon OptionsPictures::moveDown()
{
    return arrow(false);
}

QIcon OptionsPictures::openLog()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(Qt::darkGray, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 2, 20, 28));
        p.setPen(QPen(QColor(0x40, 0x60, 0xa0), 1.5));
        for (int y = 8; y <= 24; y += 4)
            p.drawLine(QPointF(9, y), QPointF(23, y));
    });
}

QIcon OptionsPictures::print()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(Qt::darkGray, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));
    });
}

QIcon OptionsPictures::abortPrint()
{
    return drawn([](QPainter &p) {
        QPolygonF octagon;
        for (const QPointF pt : {QPointF(11, 3), QPointF(21, 3), QPointF(29, 11), QPointF(29, 21),
                                 QPointF(21, 29), QPointF(11, 29), QPointF(3, 21), QPointF(3, 11)})
            octagon << pt;
        p.setPen(QPen(QColor(0x80, 0x10, 0x10), 1.5));
        p.setBrush(QColor(0xd0, 0x20, 0x20));
        p.drawPolygon(octagon);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
    });
}

QIcon OptionsPictures::deleteLog()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(Qt::darkGray, 1.5));
        p.setBrush(QColor(0xb0, 0xb0, 0xb0));
        p.drawRect(QRectF(5, 6, 22, 4));
        p.drawRect(QRectF(13, 3, 6, 3));
        p.drawRect(QRectF(7, 10, 18, 19));
        for (int x = 11; x <= 21; x += 5)
            p.drawLine(QPointF(x, 13), QPointF(x, 26));
    });
}

QIcon OptionsPictures::calculator()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(0x50, 0x50, 0x58));
        p.drawRoundedRect(QRectF(5, 2, 22, 28), 3, 3);
        p.setBrush(QColor(0xc0, 0xe0, 0xc0));
        p.drawRect(QRectF(8, 5, 16, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawRect(QRectF(8 + col * 6, 14 + row * 4, 4, 3));
    });
}
