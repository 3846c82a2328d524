#pragma once

// Not installed: the engine's inner state and its step-by-step reports, for Slidetape's own
// tests and benchmarks. Hosts use HorizontalScroller.h only.

#include "HorizontalScroller.h"
#include "HorizontalScroller_p.h"

#include <QObject>
#include <QString>

namespace Slidetape {

// Every control owns one probe (a child object named "ScrollerProbe"). It reports each frame
// that reaches the screen and each phase of each pass, and reads the engine's fields.
class SLIDETAPE_EXPORT ScrollerProbe : public QObject
{
    Q_OBJECT
public:
    enum PassPhase
    {
        Enter,
        Hold,
        Leave,
        Done,
        // The pass ended early: overflow, the control was hidden or the program is closing.
        Aborted
    };
    Q_ENUM(PassPhase)

    static ScrollerProbe *of(const HorizontalScroller &control);

    bool isBusy() const { return m_d.m_mBusy; }
    short scrollX() const { return m_d.m_mX; }
    short scrollY() const { return m_d.m_mY; }
    QString scrollText() const { return m_d.m_mScrollText; }
    short scrollSpeed() const { return m_d.m_mScrollSpeed; }
    int scrollPause() const { return m_d.m_mScrollPause; }
    bool scrollsUpward() const { return m_d.m_mVertical == 1; }
    int enabledSlotCount() const;
    // How many passes are running now (nested passes counted each).
    int runningPasses() const { return m_d.m_runningPasses; }
    const QImage &buffer() const { return m_d.m_backB; }
    ScrollerSurface *surface() const { return m_d.m_draw; }
    // How often a line has been shaped, and how often its picture has been drawn.
    int lineLayouts() const { return m_d.m_lineLayouts; }
    int pictureLayouts() const { return m_d.m_pictureLayouts; }
    // The picture of the line that frames copy from, in device pixels.
    QSize linePictureSize() const { return m_d.m_line.image.size(); }

    // The wrapping 32-bit millisecond counter that passes and PS measure time with.
    static quint32 systemTickCount();
    // Replaces the millisecond counter, so that a wrap can be tested; nullptr restores it.
    void setTickSource(HorizontalScrollerPrivate::TickSource source);

Q_SIGNALS:
    // A frame reached the screen: the text and position last drawn into the buffer.
    void frameShown(const QString &text, int x, int y);
    // A pass of the given slot entered a phase.
    void passPhase(int slot, Slidetape::ScrollerProbe::PassPhase phase);

private:
    friend class HorizontalScroller;
    ScrollerProbe(HorizontalScroller &control, HorizontalScrollerPrivate &d);
    HorizontalScrollerPrivate &m_d;
};

} // namespace Slidetape
