#pragma once

#include <QAbstractButton>
#include <QColor>

// A hyperlink-style button of the main window's button bar: a caption drawn in the caption
// colour on a transparent ground, underlined and backed by the second colour while the mouse
// is over it or presses it. The state property follows the mouse (Up, Hover, Down) and may be
// set by the program; a handler puts it back to Up after a click.
class LinkButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(
        QColor captionColor READ captionColor WRITE setCaptionColor NOTIFY captionColorChanged)
    Q_PROPERTY(QColor secondColor READ secondColor WRITE setSecondColor NOTIFY secondColorChanged)
    Q_PROPERTY(int state READ state WRITE setState NOTIFY stateChanged)

public:
    // Values of the state property.
    enum State
    {
        Down = 0,  // pressed
        Hover = 1, // the mouse is over the button, or it was just clicked
        Up = 2     // at rest
    };
    Q_ENUM(State)

    explicit LinkButton(QWidget *parent = nullptr);
    explicit LinkButton(const QString &caption, QWidget *parent = nullptr);

    // White by default.
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor &color);

    // Dark grey (&H585858) by default.
    QColor secondColor() const { return m_secondColor; }
    void setSecondColor(const QColor &color);

    int state() const { return m_state; }
    void setState(int state);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void captionColorChanged(const QColor &color);
    void secondColorChanged(const QColor &color);
    void stateChanged(int state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QColor m_captionColor;
    QColor m_secondColor;
    int m_state = Up;
};
