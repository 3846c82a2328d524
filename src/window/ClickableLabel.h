#pragma once

#include <QColor>
#include <QLabel>

// A picture box: a label that shows a pixmap (or only its back colour) and reports the mouse
// and the keyboard, so that pictures can serve as buttons, lamps and drag surfaces. It may
// hold other controls (the window's panel and bezels are picture boxes with children).
class ClickableLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor NOTIFY backColorChanged)

public:
    explicit ClickableLabel(QWidget *parent = nullptr);

    // The colour the box is filled with behind its picture; invalid (the default) leaves the
    // box transparent.
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

Q_SIGNALS:
    // Left button pressed and released over the box.
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    // Emitted for every move over the box, with the buttons held down during the move.
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    // A key typed while the box has the focus (the box takes the focus only when its focus
    // policy allows it).
    void keyPressed(int key);
    void backColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor m_backColor;
    bool m_leftPressed = false;
};
