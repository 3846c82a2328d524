#include "LinkButton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int HorizontalPadding = 4;
constexpr int VerticalPadding = 2;
} // namespace

LinkButton::LinkButton(QWidget *parent) : LinkButton(QString(), parent) {}

LinkButton::LinkButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent), m_captionColor(Qt::white), m_secondColor(0x58, 0x58, 0x58)
{
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void LinkButton::setCaptionColor(const QColor &color)
{
    if (color == m_captionColor)
        return;
    m_captionColor = color;
    update();
    Q_EMIT captionColorChanged(color);
}

void LinkButton::setSecondColor(const QColor &color)
{
    if (color == m_secondColor)
        return;
    m_secondColor = color;
    update();
    Q_EMIT secondColorChanged(color);
}

void LinkButton::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
    Q_EMIT stateChanged(state);
}

QSize LinkButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 2 * HorizontalPadding,
            fm.height() + 2 * VerticalPadding};
}

QSize LinkButton::minimumSizeHint() const
{
    return sizeHint();
}

void LinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool lit = isEnabled() && (m_state == Down || m_state == Hover);
    if (lit)
        painter.fillRect(rect(), m_secondColor);

    QFont f = font();
    f.setUnderline(lit);
    painter.setFont(f);
    QColor pen = m_captionColor;
    if (!isEnabled())
        pen = palette().color(QPalette::Disabled, QPalette::WindowText);
    painter.setPen(pen);
    // A pressed caption sits one pixel lower, as a pressed button would.
    const QRect textRect = rect().translated(m_state == Down ? QPoint(1, 1) : QPoint());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());

    if (hasFocus()) {
        QPen focusPen(pen, 1, Qt::DotLine);
        painter.setPen(focusPen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void LinkButton::enterEvent(QEnterEvent *event)
{
    if (isEnabled())
        setState(Hover);
    QAbstractButton::enterEvent(event);
}

void LinkButton::leaveEvent(QEvent *event)
{
    if (isEnabled())
        setState(Up);
    QAbstractButton::leaveEvent(event);
}

void LinkButton::mousePressEvent(QMouseEvent *event)
{
    if (isEnabled() && event->button() == Qt::LeftButton)
        setState(Down);
    QAbstractButton::mousePressEvent(event);
}

void LinkButton::mouseReleaseEvent(QMouseEvent *event)
{
    // Set before the base class emits clicked(), so a click handler sees Hover and can put
    // the state back to Up.
    if (isEnabled() && event->button() == Qt::LeftButton)
        setState(rect().contains(event->position().toPoint()) ? Hover : Up);
    QAbstractButton::mouseReleaseEvent(event);
}

void LinkButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        setState(Up);
    QAbstractButton::changeEvent(event);
}
