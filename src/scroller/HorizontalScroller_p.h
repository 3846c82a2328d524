#pragma once

// Not installed: the control's inner state and engine.

#include "HorizontalScroller.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QTextLayout>
#include <QVariant>

#include <array>
#include <functional>
#include <optional>

class QEventLoop;
class QTimer;

namespace Slidetape {

class ScrollerProbe;
class ScrollerSurface;

class HorizontalScrollerPrivate
{
public:
    using TickSource = std::function<quint32()>;

    enum class PassEnd
    {
        Finished,
        Overflow,
        Stopped,
        Destroyed
    };
    enum class WaitEnd
    {
        Elapsed,
        Stopped,
        Destroyed
    };

    explicit HorizontalScrollerPrivate(HorizontalScroller *control);

    void onSlotFired(int slot);
    PassEnd ScrollLeft(int slot);
    PassEnd ScrollUp(int slot);
    // One frame, one step of the position and the 20 ms wait; a value when the pass must end.
    std::optional<PassEnd> step(int slot, quint64 epoch, short &position);
    // Draws one frame; false when the control was destroyed while events were pumped.
    bool DrawFrame();
    // Draws mScrollText at (mX, mY) into the buffer.
    void drawBuffer();
    // Copies the buffer to the visible strip (only what changed since the last copy).
    void present();
    // Waits interval ms while events run; passes started before the control was hidden (the
    // given epoch) end early.
    WaitEnd pause(int interval, quint64 epoch);
    // A wait inside a pass: nothing when it elapsed, else how the pass ends (stopped, or the
    // control destroyed meanwhile).
    std::optional<PassEnd> waitInPass(int slot, int interval, quint64 epoch);
    PassEnd hold(int slot, quint64 epoch);
    PassEnd overflow(int slot);
    PassEnd stopped(int slot);
    // Ends every running pass and wait at its next step.
    void stopPasses();
    // Disarms the slots whose pass has not started yet.
    void cancelArmedSlots();
    bool hiddenByHost() const;
    void layoutInner();
    // Makes the line's picture cover the strip's view of the line at the current position.
    void layoutLine();
    void applyFont();
    void applyCursor();
    // The values of the control's properties, to tell which of them a change touched.
    QVariantList snapshot() const;
    // Raises the notify signal of every property whose value differs from `before`.
    void notifyChanges(const QVariantList &before);
    // Applies a property write: notifies the properties it changed, then names it to the host.
    // False when a handler destroyed the control meanwhile.
    template <typename Apply> bool write(const char *name, Apply &&apply);
    // The same for a write of the colours or the font, which a held frame shows at once.
    template <typename Apply> void writeLook(const char *name, Apply &&apply);
    // An appearance change shows at once on the frame a pass holds.
    void redrawHeldFrame();
    // Adopts a palette or a font given to the widget.
    void followPalette();
    void followWidgetFont();
    void invalid();

    HorizontalScroller *const q;
    ScrollerSurface *m_draw = nullptr;
    ScrollerProbe *m_probe = nullptr;
    QImage m_backB;
    std::array<QTimer *, HorizontalScroller::SlotCount> m_STimer{};
    std::array<bool, HorizontalScroller::SlotCount> m_slotEnabled{};
    std::array<bool, HorizontalScroller::SlotCount> m_slotRunning{};
    TickSource m_tickSource;

    QString m_mScrollText;
    short m_mScrollSpeed = 0;
    int m_mScrollPause = 0;
    short m_mVertical = 0;
    bool m_mBusy = false;
    short m_mX = 0;
    short m_mY = 0;

    // Stopping: passes and waits compare the epoch they started in with this one.
    quint64 m_epoch = 0;
    QList<QEventLoop *> m_waits;
    int m_runningPasses = 0;
    bool m_shownOnce = false;

    // The line, shaped once per text and font, and a picture of the part of it around what
    // the strip shows (the whole line when it is not much wider than the strip). Each frame
    // only copies the picture; it is redrawn when the view leaves it or the look changes.
    struct LinePicture
    {
        QTextLayout layout;
        bool shaped = false;
        QString text;
        QFont font;
        int width = 0;  // the whole line's width, pixels
        int height = 0; // one line's height, pixels
        int ascent = 0;
        QImage image; // covers [start, start + span) of the line, rows [0, rows)
        int start = 0;
        int span = 0;
        int rows = 0;
        uint fore = 0;
        uint back = 0;
        qreal ratio = 0;
    } m_line;
    int m_lineLayouts = 0;
    int m_pictureLayouts = 0;
    // Where the buffer and the screen hold ink, in pixels of the strip; the next copy
    // repaints only their union.
    QRect m_bufferInk;
    uint m_bufferBack = 0;
    QRect m_screenInk;
    uint m_screenBack = 0;
    bool m_screenValid = false;

    // What the buffer holds now, reported with each copied frame.
    QString m_drawnText;
    QPoint m_drawnAt;

    uint m_foreColor = 0xBBBBBB;
    uint m_backColor = 0x585858;
    float m_currentX = 0;
    float m_currentY = 0;
    QFont m_font;
    QString m_fontName;
    float m_fontSize = 0;
    short m_mousePointer = 0;
    QPixmap m_mouseIcon;

    uint m_mMaskColor = 0;
    QPixmap m_mMaskPicture;
    short m_mBackStyle = 0;
    QUrl m_mHyperLink;
    uint m_mTextColor = 0;

    bool m_clickArmed = false;
};

} // namespace Slidetape
