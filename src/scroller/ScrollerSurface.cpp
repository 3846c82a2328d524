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

void ScrollerSurface::blit(const QImage &buffer, int width, int height, const QRect &changed,
                           bool whole)
{
    const qreal ratio = buffer.devicePixelRatio();
    const QRect inner = contentsRect();
    const QSize device = (QSizeF(inner.size()) * ratio).toSize();
    if (m_frame.size() != device || m_frame.devicePixelRatio() != ratio) {
        m_frame = QImage(device, QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(ratio);
        whole = true;
    }
    const QRect source(0, 0, width, height);
    {
        QPainter p(&m_frame);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        if (whole) {
            m_frame.fill(m_background);
            p.drawImage(QPoint(0, 0), buffer, source);
        } else if (!changed.isEmpty()) {
            const QRect part =
                QRect(changed.topLeft() * ratio, changed.size() * ratio).intersected(source);
            p.drawImage(QPointF(part.topLeft()) / ratio, buffer, part);
        }
    }
    m_hasFrame = true;
    if (whole)
        update(inner);
    else if (!changed.isEmpty())
        update(changed.translated(inner.topLeft()).intersected(inner));
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
            const QRegion rest = QRegion(rect()).subtracted(
                QRect(inner.topLeft(), m_frame.deviceIndependentSize().toSize()));
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
