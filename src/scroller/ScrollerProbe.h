#pragma once

// Not installed: the engine's inner state and its step-by-step reports, for Slidetape's own
// tests and benchmarks. Hosts use HorizontalScroller.h only.

#include "HorizontalScroller.h"

#include <QObject>
#include <QString>

namespace Slidetape {

// Every control owns one probe (a child object named "ScrollerProbe"). It reports each frame
// that reaches the screen and each phase of each pass, and reads the engine's fields.
class ScrollerProbe : public QObject
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

    static ScrollerProbe *of(const HorizontalScroller &control) { return control.m_probe; }

    bool isBusy() const { return m_control.m_mBusy; }
    short scrollX() const { return m_control.m_mX; }
    short scrollY() const { return m_control.m_mY; }
    QString scrollText() const { return m_control.m_mScrollText; }
    short scrollSpeed() const { return m_control.m_mScrollSpeed; }
    int scrollPause() const { return m_control.m_mScrollPause; }
    bool scrollsUpward() const { return m_control.m_mVertical == 1; }
    int enabledSlotCount() const;
    // How many passes are running now (nested passes counted each).
    int runningPasses() const { return m_control.m_runningPasses; }
    const QImage &buffer() const { return m_control.m_backB; }
    ScrollerSurface *surface() const { return m_control.m_draw; }
    // How often the picture of the line has been laid out.
    int lineLayouts() const { return m_control.m_lineLayouts; }

    // The wrapping 32-bit millisecond counter that passes and PS measure time with.
    static quint32 systemTickCount();
    // Replaces the millisecond counter, so that a wrap can be tested; nullptr restores it.
    void setTickSource(HorizontalScroller::TickSource source);

Q_SIGNALS:
    // A frame reached the screen: the text and position last drawn into the buffer.
    void frameShown(const QString &text, int x, int y);
    // A pass of the given slot entered a phase.
    void passPhase(int slot, Slidetape::ScrollerProbe::PassPhase phase);

private:
    friend class HorizontalScroller;
    explicit ScrollerProbe(HorizontalScroller &control);
    HorizontalScroller &m_control;
};

} // namespace Slidetape
