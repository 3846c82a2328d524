#include "ClickableLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ClickableLabel::ClickableLabel(QWidget *parent) : QLabel(parent)
{
    // Moves are reported also without a button held, as drag and hover code expects.
    setMouseTracking(true);
}

void ClickableLabel::setBackColor(const QColor &color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
    Q_EMIT backColorChanged(color);
}

void ClickableLabel::paintEvent(QPaintEvent *event)
{
    if (m_backColor.isValid()) {
        QPainter painter(this);
        painter.fillRect(rect(), m_backColor);
    }
    QLabel::paintEvent(event);
}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    Q_EMIT mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && m_leftPressed && rect().contains(pos);
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    Q_EMIT mouseUp(event->button(), event->modifiers(), pos);
    if (click)
        Q_EMIT clicked();
    event->accept();
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click counts as a press too, so that a following release
    // still reports the button.
    if (event->button() == Qt::LeftButton) {
        m_leftPressed = true;
        Q_EMIT doubleClicked();
    }
    Q_EMIT mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    event->accept();
}

void ClickableLabel::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
    event->accept();
}

void ClickableLabel::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT keyPressed(event->key());
    event->accept();
}
