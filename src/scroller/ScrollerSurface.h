#pragma once

#include "slidetape_export.h"

#include <QColor>
#include <QFrame>
#include <QImage>

namespace Slidetape {

// The visible strip of the control. It shows the last frame copied to it and paints its own
// background wherever no frame has been copied; it never draws text itself.
class SLIDETAPE_EXPORT ScrollerSurface : public QFrame
{
    Q_OBJECT
public:
    explicit ScrollerSurface(QWidget *parent = nullptr);

    // Copies the top-left width x height device pixels of the buffer to the inner area, in one
    // block. Unless whole is set only `changed` (in the buffer's coordinates) differs from the
    // frame shown before, and only that part is copied and repainted.
    void blit(const QImage &buffer, int width, int height, const QRect &changed = QRect(),
              bool whole = true);
    // Forgets the copied frame, so the strip shows its background until the next copy.
    void clearFrame();
    const QImage &shownFrame() const { return m_frame; }
    bool hasFrame() const { return m_hasFrame; }

    QColor backgroundColor() const { return m_background; }

    int helpContextId() const { return m_helpContextId; }
    void setHelpContextId(int id) { m_helpContextId = id; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_frame;
    bool m_hasFrame = false;
    QColor m_background;
    int m_helpContextId = 0;
};

} // namespace Slidetape
