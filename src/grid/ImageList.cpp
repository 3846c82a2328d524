#include "ImageList.h"

#include "screen/Twips.h"
#include "screen/Zoom.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace {

const QColor DarkGrey(0x58, 0x58, 0x58);
const QColor RiseGreen(0x50, 0xEF, 0x00); // &HEF50
const QColor FallRed(0xFF, 0x30, 0x00);   // &H30FF

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A picture as its shapes, drawn in a width x height rectangle, so that it can be drawn
// sharp at any size.
struct Drawing
{
    int width = 0;
    int height = 0;
    std::function<void(QPainter &, const QRectF &)> paint;

    // Drawn `scale` times its size, in device pixels of the given ratio.
    QImage render(double scale = 1.0, double devicePixelRatio = 1.0) const
    {
        const double s = scale * devicePixelRatio;
        QImage image = canvas(std::max(1, qRound(width * s)), std::max(1, qRound(height * s)));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(double(image.width()) / width, double(image.height()) / height);
        paint(painter, QRectF(0, 0, width, height));
        painter.end();
        image.setDevicePixelRatio(devicePixelRatio);
        return image;
    }
};

Drawing draw(int width, int height, std::function<void(QPainter &, const QRectF &)> paint)
{
    return {width, height, std::move(paint)};
}

// A bevelled button face: light at the top, dark at the bottom, a thin rim.
void bevelledFace(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom,
                  const QColor &rim, qreal radius)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(rim, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// A small bevelled grey button face.
void buttonFace(QPainter &p, const QRectF &r)
{
    bevelledFace(p, r, QColor(0xA8, 0xA8, 0xA8), QColor(0x48, 0x48, 0x48), QColor(0x20, 0x20, 0x20),
                 3);
}

void triangle(QPainter &p, const QRectF &r, bool up, const QColor &color)
{
    const QPolygonF shape =
        up ? QPolygonF({QPointF(r.center().x(), r.top()), r.bottomRight(), r.bottomLeft()})
           : QPolygonF({r.topLeft(), r.topRight(), QPointF(r.center().x(), r.bottom())});
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(shape);
}

// An arrow for the quote grid: a triangle on a short shaft.
Drawing gridArrow(bool up, const QColor &color)
{
    return draw(9, 9, [=](QPainter &p, const QRectF &r) {
        const QRectF head = up ? QRectF(0, 0, r.width(), 5) : QRectF(0, 4, r.width(), 5);
        triangle(p, head, up, color);
        p.fillRect(up ? QRectF(3, 5, 3, 4) : QRectF(3, 0, 3, 4), color);
    });
}

// Two horizontal arrows, pointing away from each other (outward) or towards each other.
Drawing widthArrows(bool outward)
{
    return draw(16, 16, [=](QPainter &p, const QRectF &r) {
        buttonFace(p, r);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        const double y = r.center().y();
        const auto arrow = [&](double tipX, double baseX) {
            p.drawPolygon(
                QPolygonF({QPointF(tipX, y), QPointF(baseX, y - 4), QPointF(baseX, y + 4)}));
        };
        if (outward) {
            arrow(2, 6);
            arrow(14, 10);
            p.fillRect(QRectF(6, y - 1, 4, 2), Qt::white);
        } else {
            arrow(7, 3);
            arrow(9, 13);
            p.fillRect(QRectF(1, y - 1, 2, 2), Qt::white);
            p.fillRect(QRectF(13, y - 1, 2, 2), Qt::white);
        }
    });
}

Drawing moveButton(bool up)
{
    return draw(16, 16, [=](QPainter &p, const QRectF &r) {
        buttonFace(p, r);
        triangle(p, QRectF(4, 5, 8, 6), up, Qt::white);
    });
}

Drawing checkBox(bool ticked)
{
    return draw(13, 13, [=](QPainter &p, const QRectF &r) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(Qt::white);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (ticked) {
            p.setRenderHint(QPainter::Antialiasing);
            QPen pen(Qt::black, 2);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            p.setPen(pen);
            p.drawPolyline(QPolygonF({QPointF(3, 6.5), QPointF(5.5, 9), QPointF(10, 3.5)}));
        }
    });
}

Drawing islandButton()
{
    return draw(32, 16, [](QPainter &p, const QRectF &r) {
        bevelledFace(p, r, QColor(0x3C, 0x6E, 0xC8), QColor(0x14, 0x2D, 0x64),
                     QColor(0x0A, 0x14, 0x32), 4);
        // An open book: two pages meeting at the spine, a few lines of print on each.
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
        p.setBrush(QColor(0xF4, 0xF0, 0xE0));
        p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(16, 5), QPointF(16, 13), QPointF(8, 12)}));
        p.drawPolygon(
            QPolygonF({QPointF(24, 4), QPointF(16, 5), QPointF(16, 13), QPointF(24, 12)}));
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
        for (double y = 7; y <= 10; y += 1.5) {
            p.drawLine(QPointF(9.5, y), QPointF(14.5, y + 0.6));
            p.drawLine(QPointF(17.5, y + 0.6), QPointF(22.5, y));
        }
    });
}

Drawing controlBox()
{
    return draw(14, 14, [](QPainter &p, const QRectF &r) {
        buttonFace(p, r);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(3, 3, 7, 5));
        p.fillRect(QRect(3, 10, 8, 2), Qt::white);
    });
}

Drawing calculator()
{
    return draw(16, 16, [](QPainter &p, const QRectF &) {
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
        p.setBrush(QColor(0x70, 0x70, 0x78));
        p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 2, 2);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(4, 2, 8, 3), QColor(0xB8, 0xD8, 0xA0)); // display
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                p.fillRect(QRect(4 + col * 3, 7 + row * 3, 2, 2), QColor(0xF0, 0xF0, 0xF0));
    });
}

// The window's skin: a bevelled metal frame around a dark grey face, with a lighter band
// along the top edge where the ticker runs.
Drawing skin(int widthTwips, int heightTwips)
{
    const int w = Twips::toPixels(widthTwips, Twips::StandardDpi);
    const int h = Twips::toPixels(heightTwips, Twips::StandardDpi);
    return draw(w, h, [](QPainter &p, const QRectF &r) {
        QLinearGradient metal(r.topLeft(), r.bottomLeft());
        metal.setColorAt(0, QColor(0x9A, 0x9E, 0xA6));
        metal.setColorAt(0.5, QColor(0x60, 0x64, 0x6C));
        metal.setColorAt(1, QColor(0x3A, 0x3C, 0x42));
        p.setPen(Qt::NoPen);
        p.setBrush(metal);
        p.drawRoundedRect(r, 6, 6);
        p.setBrush(DarkGrey);
        p.drawRoundedRect(r.adjusted(5, 14, -5, -5), 3, 3);
        p.setPen(QPen(QColor(0xC8, 0xCC, 0xD4), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        p.setPen(QPen(QColor(0x20, 0x20, 0x24), 1));
        p.drawRoundedRect(r.adjusted(4.5, 13.5, -4.5, -4.5), 3, 3);
    });
}

} // namespace

ImageList::ImageList()
{
    const Drawing drawings[] = {
        islandButton(),             // 1
        widthArrows(true),          // 2
        widthArrows(false),         // 3
        gridArrow(false, FallRed),  // 4
        gridArrow(true, RiseGreen), // 5
        moveButton(false),          // 6
        moveButton(true),           // 7
        skin(10050, 8010),          // 8
        skin(12045, 2095),          // 9
        checkBox(true),             // 10
        checkBox(false),            // 11
        controlBox(),               // 12
        calculator(),               // 13
    };
    for (const Drawing &d : drawings) {
        m_drawings.append(d.paint);
        m_images.append(d.render());
    }
}

const ImageList &ImageList::instance()
{
    static const ImageList list;
    return list;
}

QImage ImageList::toImage(int oneBasedIndex) const
{
    if (oneBasedIndex < 1 || oneBasedIndex > count())
        return {};
    return m_images.at(oneBasedIndex - 1);
}

QPixmap ImageList::image(int oneBasedIndex) const
{
    if (oneBasedIndex < 1 || oneBasedIndex > count())
        return {};
    if (m_pixmaps.isEmpty()) {
        m_pixmaps.reserve(m_images.size());
        for (const QImage &picture : m_images)
            m_pixmaps.append(QPixmap::fromImage(picture));
        // Pixmaps must not outlive the application object; a later one makes them anew.
        qAddPostRoutine([] {
            instance().m_pixmaps.clear();
            instance().m_scaled.clear();
        });
    }
    return m_pixmaps.at(oneBasedIndex - 1);
}

QPixmap ImageList::image(int oneBasedIndex, double scale, double devicePixelRatio) const
{
    if (qFuzzyCompare(scale, 1.0) && qFuzzyCompare(devicePixelRatio, 1.0))
        return image(oneBasedIndex);
    if (oneBasedIndex < 1 || oneBasedIndex > count() || scale <= 0 || devicePixelRatio <= 0)
        return {};
    image(oneBasedIndex); // the post routine that lets the pixmaps go
    const QString key =
        QStringLiteral("%1/%2/%3").arg(oneBasedIndex).arg(scale).arg(devicePixelRatio);
    auto found = m_scaled.constFind(key);
    if (found != m_scaled.constEnd())
        return *found;
    const QSize size = m_images.at(oneBasedIndex - 1).size();
    const Drawing d{size.width(), size.height(), m_drawings.at(oneBasedIndex - 1)};
    return *m_scaled.insert(key, QPixmap::fromImage(d.render(scale, devicePixelRatio)));
}

void ImageList::show(QLabel &label, int oneBasedIndex)
{
    label.setProperty("imageListIndex", oneBasedIndex);
    label.setPixmap(
        instance().image(oneBasedIndex, Zoom::factor(label), label.devicePixelRatioF()));
}

void ImageList::showAgain(QWidget &window)
{
    for (QLabel *label : window.findChildren<QLabel *>()) {
        const QVariant index = label->property("imageListIndex");
        if (index.isValid())
            show(*label, index.toInt());
    }
}

QSize ImageList::size(int oneBasedIndex) const
{
    return toImage(oneBasedIndex).size();
}
