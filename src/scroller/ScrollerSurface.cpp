#include "ScrollerSurface.h"

#include "OleColor.h"

#include <QPainter>

namespace Slidetape {

ScrollerSurface::ScrollerSurface(QWidget *parent)
    : QFrame(parent), m_background(oleColorToQColor(0x585858))
{
    setObjectName(QStringLiteral("Draw"));
    setFrameStyle(QFrame::NoFrame);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted in paintEvent, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScrollerSurface::blit(const QImage &buffer, int width, int height)
{
    const QSize inner = contentsRect().size();
    if (m_frame.size() != inner)
        m_frame = QImage(inner, QImage::Format_RGB32);
    m_frame.fill(m_background);
    {
        QPainter p(&m_frame);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), buffer, QRect(0, 0, width, height));
    }
    m_hasFrame = true;
    update(contentsRect());
}

void ScrollerSurface::clearFrame()
{
    m_hasFrame = false;
    update();
}

void ScrollerSurface::paintEvent(QPaintEvent *event)
{
    {
        QPainter p(this);
        const QRect inner = contentsRect();
        if (m_hasFrame) {
            p.drawImage(inner.topLeft(), m_frame);
            // A frame smaller than the strip (before the next one after a resize) leaves
            // background around it.
            const QRegion rest = QRegion(rect()).subtracted(QRect(inner.topLeft(), m_frame.size()));
            for (const QRect &r : rest)
                p.fillRect(r, m_background);
        } else {
            p.fillRect(rect(), m_background);
        }
    }
    QFrame::paintEvent(event);
}

void ScrollerSurface::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    update();
}

} // namespace Slidetape
