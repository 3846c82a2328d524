#include "HorizontalScroller.h"
#include "HorizontalScroller_p.h"

#include "OleColor.h"
#include "ScrollerProbe.h"
#include "ScrollerSurface.h"
#include "VariantMapPropertyBag.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGlyphRun>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>
#include <QtMath>

#include <chrono>
#include <limits>

namespace Slidetape {

namespace {

constexpr uint DefaultBackColor = 0x585858;
constexpr uint InitialForeColor = 0xBBBBBB;
constexpr uint SavedForeColorDefault = 0xFF0000;
constexpr int StepWait = 20;        // ms after every frame
constexpr int CharWidthBound = 8;   // pixels per character assumed by the leftward leave bound
constexpr int LineHeightBound = 16; // pixels of one line assumed by the upward leave bound

short buttonCode(Qt::MouseButtons buttons)
{
    short code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

short shiftCode(Qt::KeyboardModifiers modifiers)
{
    short code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

// Key codes as hosts of this control know them (the classic virtual-key numbers).
short keyCode(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return short(keypad ? 96 + (key - Qt::Key_0) : key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return short(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return short(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Help:
        return 47;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_Asterisk:
        return keypad ? 106 : 56;
    case Qt::Key_Plus:
        return keypad ? 107 : 187;
    case Qt::Key_Minus:
        return keypad ? 109 : 189;
    case Qt::Key_Period:
        return keypad ? 110 : 190;
    case Qt::Key_Slash:
        return keypad ? 111 : 191;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    case Qt::Key_Semicolon:
        return 186;
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_QuoteLeft:
        return 192;
    case Qt::Key_BracketLeft:
        return 219;
    case Qt::Key_Backslash:
        return 220;
    case Qt::Key_BracketRight:
        return 221;
    case Qt::Key_Apostrophe:
        return 222;
    default:
        return 0;
    }
}

Qt::CursorShape cursorShape(short pointer)
{
    switch (pointer) {
    case 1:
        return Qt::ArrowCursor;
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 4:
        return Qt::ArrowCursor; // icon
    case 5:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    case 15:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

bool validMousePointer(short pointer)
{
    return (pointer >= 0 && pointer <= 15) || pointer == 99;
}

QPixmap toPixmap(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::QPixmap:
        return v.value<QPixmap>();
    case QMetaType::QImage:
        return QPixmap::fromImage(v.value<QImage>());
    case QMetaType::QByteArray: {
        QPixmap p;
        p.loadFromData(v.toByteArray());
        return p;
    }
    default:
        return QPixmap();
    }
}

QUrl toUrl(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QUrl)
        return v.toUrl();
    const QString text = v.toString();
    return text.isEmpty() ? QUrl() : QUrl(text);
}

} // namespace

namespace {

quint32 systemTickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return quint32(quint64(ms)); // wraps like any 32-bit millisecond counter
}

// The picture of a line covers at most this many strip widths (but at least MinPictureWidth
// pixels); a longer line is drawn piece by piece as it passes.
constexpr int PictureSpan = 3;
constexpr int MinPictureWidth = 512;

float boundedFontSize(float value)
{
    if (!(value > 0)) // also NaN
        return 0;
    return qBound(HorizontalScroller::MinFontSize, value, HorizontalScroller::MaxFontSize);
}

// One line: the characters that would start a new line print as spaces.
QString oneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return line;
}

// Screen readers present the control as a text that changes (the line that scrolls).
QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    // The class name first: the factory is asked about every object of the process (the
    // web engine's too), and only the name may be read of an object that is not ours.
    if (className == QLatin1String(HorizontalScroller::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StaticText);
    return nullptr;
}

} // namespace

ScrollerProbe::ScrollerProbe(HorizontalScroller &control, HorizontalScrollerPrivate &d)
    : QObject(&control), m_d(d)
{
    setObjectName(QStringLiteral("ScrollerProbe"));
}

ScrollerProbe *ScrollerProbe::of(const HorizontalScroller &control)
{
    return control.findChild<ScrollerProbe *>(QStringLiteral("ScrollerProbe"),
                                              Qt::FindDirectChildrenOnly);
}

quint32 ScrollerProbe::systemTickCount()
{
    return Slidetape::systemTickCount();
}

int ScrollerProbe::enabledSlotCount() const
{
    int n = 0;
    for (bool enabled : m_d.m_slotEnabled)
        n += enabled ? 1 : 0;
    return n;
}

void ScrollerProbe::setTickSource(HorizontalScrollerPrivate::TickSource source)
{
    m_d.m_tickSource =
        source ? std::move(source) : HorizontalScrollerPrivate::TickSource(&systemTickCount);
}

HorizontalScrollerPrivate::HorizontalScrollerPrivate(HorizontalScroller *control)
    : q(control), m_tickSource(&systemTickCount)
{
}

HorizontalScroller::HorizontalScroller(QWidget *parent)
    : QWidget(parent), d(std::make_unique<HorizontalScrollerPrivate>(this))
{
    static const bool accessible = [] {
        QAccessible::installFactory(&accessibleFactory);
        return true;
    }();
    Q_UNUSED(accessible);

    d->m_probe = new ScrollerProbe(*this, *d);
    d->m_draw = new ScrollerSurface(this);
    d->m_draw->installEventFilter(this);
    d->m_draw->setAccessibleName(tr("Ticker strip"));

    for (int i = 0; i < SlotCount; ++i) {
        auto *slotTimer = new QTimer(this);
        slotTimer->setObjectName(QStringLiteral("STimer%1").arg(i));
        slotTimer->setSingleShot(true);
        slotTimer->setInterval(1);
        slotTimer->setTimerType(Qt::PreciseTimer);
        connect(slotTimer, &QTimer::timeout, this, [this, i] { d->onSlotFired(i); });
        d->m_STimer[size_t(i)] = slotTimer;
    }
    // A program that is closing ends its passes instead of waiting them out.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { d->stopPasses(); });

    setAccessibleDescription(tr("Scrolling ticker"));
    d->m_fontName = QStringLiteral("MS Sans Serif");
    d->m_fontSize = 10;
    d->m_font.setBold(true);
    d->applyFont();
    d->m_backColor = DefaultBackColor;
    d->m_foreColor = InitialForeColor;
    d->layoutInner();
}

HorizontalScroller::~HorizontalScroller()
{
    // Passes and waits running further up the stack return as soon as they regain control.
    d->stopPasses();
}

// --- Requests and passes ----------------------------------------------------------------------

void HorizontalScroller::DoScroll(const QString &ScrollText, short ScrollSpeed, int ScrollPause,
                                  bool Override, short ScrollDir)
{
    // The direction applies to every pass that starts from now on, even when this request is
    // dropped below.
    d->m_mVertical = ScrollDir == 1 ? 1 : 0;
    if (d->m_mBusy && !Override)
        return;
    // Nothing is drawn while the host keeps the strip hidden.
    if (d->hiddenByHost())
        return;
    d->m_mScrollText = ScrollText;
    d->m_mScrollSpeed = ScrollSpeed;
    d->m_mScrollPause = ScrollPause;
    // Assistive technology reads the line that scrolls.
    setAccessibleName(ScrollText.trimmed());
    for (int i = 0; i < SlotCount; ++i) {
        if (!d->m_slotEnabled[size_t(i)]) {
            d->m_slotEnabled[size_t(i)] = true;
            d->m_STimer[size_t(i)]->start();
            return;
        }
    }
}

bool HorizontalScrollerPrivate::hiddenByHost() const
{
    return m_shownOnce && !q->isVisible();
}

void HorizontalScrollerPrivate::stopPasses()
{
    ++m_epoch;
    for (QEventLoop *loop : std::as_const(m_waits))
        loop->quit();
}

void HorizontalScrollerPrivate::cancelArmedSlots()
{
    for (int i = 0; i < HorizontalScroller::SlotCount; ++i) {
        if (m_slotEnabled[size_t(i)] && !m_slotRunning[size_t(i)]) {
            m_STimer[size_t(i)]->stop();
            m_slotEnabled[size_t(i)] = false;
        }
    }
}

void HorizontalScrollerPrivate::onSlotFired(int slot)
{
    if (!m_slotEnabled[size_t(slot)])
        return;
    if (hiddenByHost()) {
        m_slotEnabled[size_t(slot)] = false;
        return;
    }
    // The slot stays enabled while its pass runs, so DoScroll does not reuse it.
    m_slotRunning[size_t(slot)] = true;
    ++m_runningPasses;
    const PassEnd end = m_mVertical == 1 ? ScrollUp(slot) : ScrollLeft(slot);
    if (end == PassEnd::Destroyed)
        return;
    --m_runningPasses;
    m_slotRunning[size_t(slot)] = false;
    m_slotEnabled[size_t(slot)] = false;
}

namespace {

// One step of a position; false when the result leaves the 16-bit range. A speed below 1
// would never reach the leave bound, so every step moves at least one pixel.
bool stepPosition(short &position, short speed)
{
    const int step = speed < 1 ? 1 : speed;
    const int next = int(position) - step;
    if (next < std::numeric_limits<short>::min())
        return false;
    position = short(next);
    return true;
}

} // namespace

HorizontalScrollerPrivate::PassEnd HorizontalScrollerPrivate::overflow(int slot)
{
    QPointer<HorizontalScroller> self(q);
    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Aborted);
    if (self)
        Q_EMIT q->Error(HorizontalScroller::OverflowError, QStringLiteral("Overflow"));
    return self ? PassEnd::Overflow : PassEnd::Destroyed;
}

HorizontalScrollerPrivate::PassEnd HorizontalScrollerPrivate::stopped(int slot)
{
    QPointer<HorizontalScroller> self(q);
    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Aborted);
    return self ? PassEnd::Stopped : PassEnd::Destroyed;
}

std::optional<HorizontalScrollerPrivate::PassEnd>
HorizontalScrollerPrivate::step(int slot, quint64 epoch, short &position)
{
    if (epoch != m_epoch)
        return stopped(slot);
    if (!DrawFrame())
        return PassEnd::Destroyed;
    if (epoch != m_epoch)
        return stopped(slot);
    if (!stepPosition(position, m_mScrollSpeed))
        return overflow(slot);
    return waitInPass(slot, StepWait, epoch);
}

HorizontalScrollerPrivate::PassEnd HorizontalScrollerPrivate::hold(int slot, quint64 epoch)
{
    QPointer<HorizontalScroller> self(q);
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Hold);
    if (!self)
        return PassEnd::Destroyed;
    if (const std::optional<PassEnd> end = waitInPass(slot, m_mScrollPause, epoch))
        return *end;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Leave);
    return self ? PassEnd::Finished : PassEnd::Destroyed;
}

HorizontalScrollerPrivate::PassEnd HorizontalScrollerPrivate::ScrollLeft(int slot)
{
    QPointer<HorizontalScroller> self(q);
    const quint64 epoch = m_epoch;
    layoutInner();
    const int innerWidth = m_draw->contentsRect().width();
    if (innerWidth > std::numeric_limits<short>::max())
        return overflow(slot);
    m_mX = short(innerWidth);
    m_mY = 0;
    m_mBusy = true;

    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Enter);
    if (!self)
        return PassEnd::Destroyed;
    while (m_mX > 1) {
        if (const auto end = step(slot, epoch, m_mX))
            return *end;
    }

    if (const PassEnd end = hold(slot, epoch); end != PassEnd::Finished)
        return end;
    for (;;) {
        // Re-evaluated before every step: the text may have been replaced meanwhile.
        const qint64 bound = -qint64(CharWidthBound) * m_mScrollText.size();
        if (bound < std::numeric_limits<qint32>::min())
            return overflow(slot);
        if (!(m_mX > bound))
            break;
        if (const auto end = step(slot, epoch, m_mX))
            return *end;
    }

    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Done);
    return self ? PassEnd::Finished : PassEnd::Destroyed;
}

HorizontalScrollerPrivate::PassEnd HorizontalScrollerPrivate::ScrollUp(int slot)
{
    QPointer<HorizontalScroller> self(q);
    const quint64 epoch = m_epoch;
    layoutInner();
    const int innerHeight = m_draw->contentsRect().height();
    if (innerHeight > std::numeric_limits<short>::max())
        return overflow(slot);
    m_mX = 1;
    m_mY = short(innerHeight);
    m_mBusy = true;

    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Enter);
    if (!self)
        return PassEnd::Destroyed;
    while (m_mY > 1) {
        if (const auto end = step(slot, epoch, m_mY))
            return *end;
    }

    if (const PassEnd end = hold(slot, epoch); end != PassEnd::Finished)
        return end;
    while (m_mY > -LineHeightBound) {
        if (const auto end = step(slot, epoch, m_mY))
            return *end;
    }

    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Done);
    return self ? PassEnd::Finished : PassEnd::Destroyed;
}

void HorizontalScrollerPrivate::layoutLine()
{
    LinePicture &line = m_line;
    if (!line.shaped || line.text != m_mScrollText || line.font != m_font) {
        ++m_lineLayouts;
        line.shaped = true;
        line.text = m_mScrollText;
        line.font = m_font;
        line.layout.clearLayout();
        line.layout.setText(oneLine(m_mScrollText));
        line.layout.setFont(m_font);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        line.layout.setTextOption(option);
        line.layout.setCacheEnabled(true);
        line.layout.beginLayout();
        QTextLine textLine = line.layout.createLine();
        if (textLine.isValid()) {
            textLine.setLineWidth(1e6);
            textLine.setPosition(QPointF(0, 0));
        }
        line.layout.endLayout();
        const QFontMetrics fm(m_font);
        line.ascent = fm.ascent();
        line.height = fm.height();
        // The advance, widened by the ink that may stand out of it (italic overhang).
        line.width = textLine.isValid() && !m_mScrollText.isEmpty()
                         ? qCeil(textLine.naturalTextWidth()) + fm.height() / 4 + 2
                         : 0;
        line.image = QImage();
    }

    // The part of the line that the strip shows at the current position, in the line's pixels.
    const QSize strip = m_backB.deviceIndependentSize().toSize();
    const int viewStart = qMax(0, -int(m_mX));
    const int viewEnd = qMin(line.width, strip.width() - int(m_mX));
    if (viewEnd <= viewStart)
        return; // nothing of the line is in view; the frame draws none of it
    const int spanLimit = qMax(MinPictureWidth, strip.width() * PictureSpan);
    const int spanWidth = qMin(line.width, spanLimit);
    const qreal ratio = m_backB.devicePixelRatio();
    const int start = line.width <= spanLimit ? 0 : qMin(viewStart, line.width - spanWidth);
    // No taller than what a pass can show of it: the strip and the upward pass's leave bound.
    const int height = qMin(line.height, strip.height() + LineHeightBound);
    const bool covers = !line.image.isNull() && viewStart >= line.start &&
                        viewEnd <= line.start + line.span && line.span == spanWidth &&
                        line.rows == height;
    if (covers && line.fore == m_foreColor && line.back == m_backColor && line.ratio == ratio)
        return;

    ++m_pictureLayouts;
    line.fore = m_foreColor;
    line.back = m_backColor;
    line.ratio = ratio;
    line.start = start;
    line.span = spanWidth;
    line.rows = height;
    const QSize device(qCeil(spanWidth * ratio), qCeil(height * ratio));
    if (line.image.size() != device)
        line.image = QImage(device, QImage::Format_RGB32);
    line.image.setDevicePixelRatio(ratio);
    line.image.fill(oleColorToQColor(m_backColor));
    if (line.layout.lineCount() == 0)
        return;
    // Only the glyphs of the characters around the picture are drawn, whatever the line's
    // length.
    const QTextLine textLine = line.layout.lineAt(0);
    const int length = int(line.layout.text().size());
    int from = 0;
    int to = length;
    if (start > 0 || spanWidth < line.width) {
        from = qMax(0, textLine.xToCursor(start, QTextLine::CursorOnCharacter) - 2);
        to = qMin(length, textLine.xToCursor(start + spanWidth) + 2);
    }
    QPainter p(&line.image);
    p.setPen(oleColorToQColor(m_foreColor));
    for (const QGlyphRun &run : line.layout.glyphRuns(from, to - from))
        p.drawGlyphRun(QPointF(-start, 0), run);
}

bool HorizontalScrollerPrivate::DrawFrame()
{
    QPointer<HorizontalScroller> self(q);
    drawBuffer();
    QCoreApplication::processEvents();
    if (!self)
        return false;
    // Whatever the buffer holds now (a nested pass may have drawn into it meanwhile) reaches
    // the screen in one copy.
    present();
    Q_EMIT m_probe->frameShown(m_drawnText, m_drawnAt.x(), m_drawnAt.y());
    if (!self)
        return false;
    Q_EMIT q->Change();
    return !self.isNull();
}

void HorizontalScrollerPrivate::drawBuffer()
{
    // The strip may have changed its size or its screen's pixel ratio since the last frame.
    layoutInner();
    layoutLine();
    if (!m_backB.isNull()) {
        const QColor back = oleColorToQColor(m_backColor);
        QPainter p(&m_backB);
        // Only what the last frame inked needs clearing: the rest is background already.
        const QRect bufferRect(QPoint(0, 0), m_backB.deviceIndependentSize().toSize());
        if (m_bufferBack != m_backColor) {
            p.fillRect(bufferRect, back);
            m_bufferBack = m_backColor;
        } else if (m_bufferInk.isValid()) {
            p.fillRect(m_bufferInk, back);
        }
        QRect ink;
        const int viewStart = qMax(0, -int(m_mX));
        if (!m_line.image.isNull() && m_line.ratio == m_backB.devicePixelRatio() &&
            viewStart < m_line.width) {
            const QPoint at(m_mX + m_line.start, m_mY);
            p.drawImage(at, m_line.image);
            ink = QRect(at, m_line.image.deviceIndependentSize().toSize());
        }
        m_bufferInk = ink.intersected(bufferRect);
    }
    m_drawnText = m_mScrollText;
    m_drawnAt = QPoint(m_mX, m_mY);
    // Printing a line leaves the drawing position at the start of the next line.
    m_currentX = 0;
    m_currentY = float(m_mY + m_line.height);
}

void HorizontalScrollerPrivate::present()
{
    // Only the places where the text was and is now are repainted, unless the background
    // changed or the strip shows no frame yet.
    if (hiddenByHost()) {
        m_screenValid = false;
        return;
    }
    const bool whole = !m_screenValid || m_screenBack != m_bufferBack || !m_draw->hasFrame();
    const QRect moved = whole ? QRect() : m_screenInk.united(m_bufferInk);
    m_draw->blit(m_backB, m_backB.width(), m_backB.height(), moved, whole);
    m_screenInk = m_bufferInk;
    m_screenBack = m_bufferBack;
    m_screenValid = true;
}

void HorizontalScrollerPrivate::redrawHeldFrame()
{
    if (!m_mBusy || hiddenByHost())
        return;
    drawBuffer();
    present();
    Q_EMIT q->Change();
}

void HorizontalScroller::PS(int Interval)
{
    d->pause(Interval, d->m_epoch);
}

std::optional<HorizontalScrollerPrivate::PassEnd>
HorizontalScrollerPrivate::waitInPass(int slot, int interval, quint64 epoch)
{
    switch (pause(interval, epoch)) {
    case WaitEnd::Destroyed:
        return PassEnd::Destroyed;
    case WaitEnd::Stopped:
        return stopped(slot);
    case WaitEnd::Elapsed:
        break;
    }
    return std::nullopt;
}

HorizontalScrollerPrivate::WaitEnd HorizontalScrollerPrivate::pause(int interval, quint64 epoch)
{
    QPointer<HorizontalScroller> self(q);
    // A copy, so the wait can finish even if the control goes away meanwhile.
    const TickSource ticks = m_tickSource;
    const quint32 start = ticks();
    for (;;) {
        if (epoch != m_epoch)
            return WaitEnd::Stopped;
        // Unsigned difference: correct across a wrap of the counter.
        const quint32 elapsed = ticks() - start;
        if (interval <= 0 || elapsed >= quint32(interval))
            return WaitEnd::Elapsed;
        // The wait sleeps on the event loop; the wake-up timer, stopPasses() or the end of
        // the program end it.
        QEventLoop loop;
        QTimer wake;
        bool woke = false;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        QObject::connect(&wake, &QTimer::timeout, &loop, [&woke, &loop] {
            woke = true;
            loop.quit();
        });
        wake.start(int(quint32(interval) - elapsed));
        m_waits.append(&loop);
        loop.exec();
        if (!self)
            return WaitEnd::Destroyed;
        m_waits.removeOne(&loop);
        if (epoch != m_epoch)
            return WaitEnd::Stopped;
        if (!woke) {
            // Nobody here ended the loop: the application told every loop to end, it is
            // closing. A nested loop would not run again, so every pass ends now.
            stopPasses();
            return WaitEnd::Stopped;
        }
    }
}

void HorizontalScroller::Cls()
{
    d->m_backB.fill(oleColorToQColor(d->m_backColor));
    d->m_bufferInk = QRect();
    d->m_bufferBack = d->m_backColor;
    d->m_currentX = 0;
    d->m_currentY = 0;
    Q_EMIT Change();
}

void HorizontalScroller::Refresh()
{
    d->m_draw->clearFrame();
    d->m_draw->repaint();
    d->m_screenValid = false;
    Q_EMIT Change();
}

// --- Layout and events ------------------------------------------------------------------------

// Also called when a pass starts and before every frame: a hidden control gets its resize
// event only when shown, but its passes run (and measure the strip) all the same.
void HorizontalScrollerPrivate::layoutInner()
{
    if (m_draw->geometry() != q->rect())
        m_draw->setGeometry(q->rect());
    // The buffer has the size of the visible strip, in the screen's device pixels; what it
    // held is kept where it still fits.
    const QSize size = m_draw->size();
    const qreal ratio = m_draw->devicePixelRatioF();
    if (m_backB.deviceIndependentSize().toSize() == size && m_backB.devicePixelRatio() == ratio)
        return;
    QImage resized((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    if (!resized.isNull()) {
        resized.setDevicePixelRatio(ratio);
        resized.fill(oleColorToQColor(m_backColor));
        if (!m_backB.isNull()) {
            QPainter p(&resized);
            p.drawImage(QPoint(0, 0), m_backB);
        }
    }
    m_backB = resized;
    // The next frame clears the whole buffer and reaches the screen whole.
    m_bufferBack = ~m_backColor;
    m_bufferInk = QRect();
    m_screenValid = false;
}

QSize HorizontalScroller::sizeHint() const
{
    const QFontMetrics fm(d->m_font);
    const QMargins frame = d->m_draw->contentsMargins();
    return QSize(fm.averageCharWidth() * 40 + frame.left() + frame.right(),
                 fm.height() + frame.top() + frame.bottom());
}

QSize HorizontalScroller::minimumSizeHint() const
{
    const QFontMetrics fm(d->m_font);
    const QMargins frame = d->m_draw->contentsMargins();
    return QSize(fm.averageCharWidth() * 4 + frame.left() + frame.right(),
                 fm.height() + frame.top() + frame.bottom());
}

void HorizontalScroller::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    d->layoutInner();
}

void HorizontalScroller::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    d->m_shownOnce = true;
}

void HorizontalScroller::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // A hidden strip draws nothing: running passes end at their next step, passes requested
    // but not started yet never start.
    d->cancelArmedSlots();
    d->stopPasses();
    Q_EMIT Hide();
}

void HorizontalScroller::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::PaletteChange:
        d->followPalette();
        break;
    case QEvent::FontChange:
        d->followWidgetFont();
        break;
    default:
        break;
    }
}

bool HorizontalScroller::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != d->m_draw)
        return QWidget::eventFilter(watched, event);
    QPointer<ScrollerSurface> draw(d->m_draw);
    switch (event->type()) {
    case QEvent::ScreenChangeInternal:
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
#endif
        // The strip moved to a screen of another pixel ratio: buffer and picture follow.
        d->layoutInner();
        d->redrawHeldFrame();
        return draw.isNull();
    default:
        break;
    }
    // A disabled control answers no user input (event filters see it even so).
    if (!d->m_draw->isEnabled())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        d->m_clickArmed = true;
        Q_EMIT MouseDown(buttonCode(e->button()), shiftCode(e->modifiers()),
                         float(e->position().x()), float(e->position().y()));
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        const bool click = d->m_clickArmed && d->m_draw->rect().contains(e->position().toPoint());
        d->m_clickArmed = false;
        QPointer<HorizontalScroller> self(this);
        Q_EMIT MouseUp(buttonCode(e->button()), shiftCode(e->modifiers()), float(e->position().x()),
                       float(e->position().y()));
        if (self && click)
            Q_EMIT Click();
        break;
    }
    case QEvent::MouseButtonDblClick:
        d->m_clickArmed = false;
        Q_EMIT DblClick();
        break;
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        Q_EMIT MouseMove(buttonCode(e->buttons()), shiftCode(e->modifiers()),
                         float(e->position().x()), float(e->position().y()));
        break;
    }
    case QEvent::KeyPress: {
        auto *e = static_cast<QKeyEvent *>(event);
        QPointer<HorizontalScroller> self(this);
        Q_EMIT KeyDown(keyCode(e->key(), e->modifiers()), shiftCode(e->modifiers()));
        // The whole character, also beyond 16 bits (a surrogate pair).
        const QList<uint> characters = e->text().toUcs4();
        if (self && !characters.isEmpty())
            Q_EMIT KeyPress(int(characters.first()));
        break;
    }
    case QEvent::KeyRelease: {
        auto *e = static_cast<QKeyEvent *>(event);
        if (!e->isAutoRepeat())
            Q_EMIT KeyUp(keyCode(e->key(), e->modifiers()), shiftCode(e->modifiers()));
        break;
    }
    default:
        break;
    }
    // A handler that destroyed the control has also destroyed the strip: stop delivery.
    return draw.isNull();
}

// --- Properties -------------------------------------------------------------------------------

QVariantList HorizontalScrollerPrivate::snapshot() const
{
    const QMetaObject &meta = HorizontalScroller::staticMetaObject;
    QVariantList values;
    values.reserve(meta.propertyCount() - meta.propertyOffset());
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        values.append(meta.property(i).read(q));
    return values;
}

void HorizontalScrollerPrivate::notifyChanges(const QVariantList &before)
{
    QPointer<HorizontalScroller> self(q);
    const QMetaObject &meta = HorizontalScroller::staticMetaObject;
    const QVariantList after = snapshot();
    QList<int> raised;
    for (int i = 0; i < after.size() && i < before.size(); ++i) {
        const QMetaProperty property = meta.property(meta.propertyOffset() + i);
        if (!property.hasNotifySignal() || raised.contains(property.notifySignalIndex()) ||
            VariantMapPropertyBag::sameValue(before.at(i), after.at(i)))
            continue;
        raised.append(property.notifySignalIndex());
        property.notifySignal().invoke(q, Qt::DirectConnection);
        if (!self)
            return;
    }
}

template <typename Apply> bool HorizontalScrollerPrivate::write(const char *name, Apply &&apply)
{
    QPointer<HorizontalScroller> self(q);
    const QVariantList before = snapshot();
    std::forward<Apply>(apply)();
    notifyChanges(before);
    if (!self)
        return false;
    Q_EMIT q->PropertyChanged(QString::fromLatin1(name));
    return !self.isNull();
}

template <typename Apply> void HorizontalScrollerPrivate::writeLook(const char *name, Apply &&apply)
{
    const QFont font = m_font;
    const uint fore = m_foreColor;
    const uint back = m_backColor;
    const bool alive = write(name, [&] {
        std::forward<Apply>(apply)();
        applyFont();
    });
    // A pass that holds its frame shows the new look at once.
    if (alive && (m_font != font || m_foreColor != fore || m_backColor != back))
        redrawHeldFrame();
}

void HorizontalScrollerPrivate::invalid()
{
    Q_EMIT q->Error(HorizontalScroller::InvalidPropertyValueError,
                    QStringLiteral("Invalid property value"));
}

void HorizontalScrollerPrivate::applyFont()
{
    const QFont before = m_font;
    m_font.setFamily(m_fontName);
    // No size (0) leaves the toolkit's default size in place.
    if (m_fontSize > 0)
        m_font.setPointSizeF(m_fontSize);
    else
        m_font.setPointSizeF(QFont().pointSizeF());
    // The size hints follow the font.
    if (m_font != before)
        q->updateGeometry();
}

void HorizontalScrollerPrivate::applyCursor()
{
    if (m_mousePointer == 0)
        m_draw->unsetCursor();
    else if (m_mousePointer == 99)
        m_mouseIcon.isNull() ? m_draw->unsetCursor() : m_draw->setCursor(QCursor(m_mouseIcon));
    else
        m_draw->setCursor(cursorShape(m_mousePointer));
}

// A palette given to the control (or to its window) sets the text and background colours.
void HorizontalScrollerPrivate::followPalette()
{
    const QPalette palette = q->palette();
    if (!q->testAttribute(Qt::WA_SetPalette))
        return;
    if (palette.isBrushSet(QPalette::Active, QPalette::Window))
        q->setBackColor(qColorToOleColor(palette.color(QPalette::Active, QPalette::Window)));
    if (palette.isBrushSet(QPalette::Active, QPalette::WindowText))
        q->setForeColor(qColorToOleColor(palette.color(QPalette::Active, QPalette::WindowText)));
}

// A font given to the control becomes its text font, as if FontName, FontSize and the style
// properties had been written.
void HorizontalScrollerPrivate::followWidgetFont()
{
    if (!q->testAttribute(Qt::WA_SetFont))
        return;
    QPointer<HorizontalScroller> self(q);
    const QFont given = q->font();
    const QVariantList before = snapshot();
    QVariantMap saved;
    for (const QString &name : HorizontalScroller::savedPropertyNames())
        saved.insert(name, q->property(name.toLatin1().constData()));
    m_fontName = given.family();
    if (given.pointSizeF() > 0)
        m_fontSize = boundedFontSize(float(given.pointSizeF()));
    m_font.setBold(given.bold());
    m_font.setItalic(given.italic());
    m_font.setUnderline(given.underline());
    m_font.setStrikeOut(given.strikeOut());
    applyFont();
    notifyChanges(before);
    if (!self)
        return;
    for (const QString &name : HorizontalScroller::savedPropertyNames()) {
        if (VariantMapPropertyBag::sameValue(saved.value(name),
                                             q->property(name.toLatin1().constData())))
            continue;
        Q_EMIT q->PropertyChanged(name);
        if (!self)
            return;
    }
    redrawHeldFrame();
}

short HorizontalScroller::borderStyle() const
{
    return d->m_draw->frameShape() == QFrame::Box ? 1 : 0;
}

void HorizontalScroller::setBorderStyle(short value)
{
    if (value != 0 && value != 1)
        return d->invalid();
    d->write("BorderStyle", [&] {
        d->m_draw->setFrameStyle(value == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
        d->m_draw->setLineWidth(1);
        updateGeometry();
    });
}

bool HorizontalScroller::controlEnabled() const
{
    return isEnabledTo(parentWidget());
}

void HorizontalScroller::setControlEnabled(bool value)
{
    d->write("Enabled", [&] { setEnabled(value); });
}

QPixmap HorizontalScroller::mouseIcon() const
{
    return d->m_mouseIcon;
}

void HorizontalScroller::setMouseIcon(const QPixmap &value)
{
    d->write("MouseIcon", [&] {
        d->m_mouseIcon = value;
        d->applyCursor();
    });
}

short HorizontalScroller::mousePointer() const
{
    return d->m_mousePointer;
}

void HorizontalScroller::setMousePointer(short value)
{
    if (!validMousePointer(value))
        return d->invalid();
    d->write("MousePointer", [&] {
        d->m_mousePointer = value;
        d->applyCursor();
    });
}

uint HorizontalScroller::foreColor() const
{
    return d->m_foreColor;
}

void HorizontalScroller::setForeColor(uint value)
{
    d->writeLook("ForeColor", [&] { d->m_foreColor = value; });
}

uint HorizontalScroller::backColor() const
{
    return d->m_backColor;
}

void HorizontalScroller::setBackColor(uint value)
{
    d->writeLook("BackColor", [&] { d->m_backColor = value; });
}

float HorizontalScroller::currentX() const
{
    return d->m_currentX;
}

float HorizontalScroller::currentY() const
{
    return d->m_currentY;
}

QFont HorizontalScroller::bufferFont() const
{
    return d->m_font;
}

int HorizontalScroller::whatsThisHelpId() const
{
    return d->m_draw->helpContextId();
}

void HorizontalScroller::setWhatsThisHelpId(int value)
{
    d->write("WhatsThisHelpID", [&] { d->m_draw->setHelpContextId(value); });
}

QString HorizontalScroller::toolTipText() const
{
    return d->m_draw->toolTip();
}

void HorizontalScroller::setToolTipText(const QString &value)
{
    d->write("ToolTipText", [&] { d->m_draw->setToolTip(value); });
}

uint HorizontalScroller::maskColor() const
{
    return d->m_mMaskColor;
}

void HorizontalScroller::setMaskColor(uint value)
{
    d->write("MaskColor", [&] { d->m_mMaskColor = value; });
}

QPixmap HorizontalScroller::maskPicture() const
{
    return d->m_mMaskPicture;
}

void HorizontalScroller::setMaskPicture(const QPixmap &value)
{
    d->write("MaskPicture", [&] { d->m_mMaskPicture = value; });
}

short HorizontalScroller::backStyle() const
{
    return d->m_mBackStyle;
}

void HorizontalScroller::setBackStyle(short value)
{
    d->write("BackStyle", [&] { d->m_mBackStyle = value; });
}

QUrl HorizontalScroller::hyperLink() const
{
    return d->m_mHyperLink;
}

void HorizontalScroller::setHyperLink(const QUrl &value)
{
    d->write("HyperLink", [&] { d->m_mHyperLink = value; });
}

uint HorizontalScroller::textColor() const
{
    return d->m_mTextColor;
}

void HorizontalScroller::setTextColor(uint value)
{
    d->write("TextColor", [&] { d->m_mTextColor = value; });
}

QColor HorizontalScroller::foregroundColor() const
{
    return oleColorToQColor(d->m_foreColor);
}

void HorizontalScroller::setForegroundColor(const QColor &value)
{
    setForeColor(qColorToOleColor(value));
}

QColor HorizontalScroller::backgroundColor() const
{
    return oleColorToQColor(d->m_backColor);
}

void HorizontalScroller::setBackgroundColor(const QColor &value)
{
    setBackColor(qColorToOleColor(value));
}

QColor HorizontalScroller::maskQColor() const
{
    return oleColorToQColor(d->m_mMaskColor);
}

void HorizontalScroller::setMaskQColor(const QColor &value)
{
    setMaskColor(qColorToOleColor(value));
}

QColor HorizontalScroller::textQColor() const
{
    return oleColorToQColor(d->m_mTextColor);
}

void HorizontalScroller::setTextQColor(const QColor &value)
{
    setTextColor(qColorToOleColor(value));
}

bool HorizontalScroller::fontBold() const
{
    return d->m_font.bold();
}

void HorizontalScroller::setFontBold(bool value)
{
    d->writeLook("FontBold", [&] { d->m_font.setBold(value); });
}

bool HorizontalScroller::fontItalic() const
{
    return d->m_font.italic();
}

void HorizontalScroller::setFontItalic(bool value)
{
    d->writeLook("FontItalic", [&] { d->m_font.setItalic(value); });
}

QString HorizontalScroller::fontName() const
{
    return d->m_fontName;
}

void HorizontalScroller::setFontName(const QString &value)
{
    d->writeLook("FontName", [&] { d->m_fontName = value; });
}

float HorizontalScroller::fontSize() const
{
    return d->m_fontSize;
}

void HorizontalScroller::setFontSize(float value)
{
    d->writeLook("FontSize", [&] { d->m_fontSize = boundedFontSize(value); });
}

bool HorizontalScroller::fontStrikethru() const
{
    return d->m_font.strikeOut();
}

void HorizontalScroller::setFontStrikethru(bool value)
{
    d->writeLook("FontStrikethru", [&] { d->m_font.setStrikeOut(value); });
}

bool HorizontalScroller::fontUnderline() const
{
    return d->m_font.underline();
}

void HorizontalScroller::setFontUnderline(bool value)
{
    d->writeLook("FontUnderline", [&] { d->m_font.setUnderline(value); });
}

// --- Persistence ------------------------------------------------------------------------------

const QStringList &HorizontalScroller::savedPropertyNames()
{
    static const QStringList names{
        QStringLiteral("BackColor"),       QStringLiteral("ForeColor"),
        QStringLiteral("BorderStyle"),     QStringLiteral("Enabled"),
        QStringLiteral("MouseIcon"),       QStringLiteral("MousePointer"),
        QStringLiteral("WhatsThisHelpID"), QStringLiteral("ToolTipText"),
        QStringLiteral("MaskColor"),       QStringLiteral("MaskPicture"),
        QStringLiteral("BackStyle"),       QStringLiteral("HyperLink"),
        QStringLiteral("TextColor"),       QStringLiteral("FontBold"),
        QStringLiteral("FontItalic"),      QStringLiteral("FontName"),
        QStringLiteral("FontSize"),        QStringLiteral("FontStrikethru"),
        QStringLiteral("FontUnderline")};
    return names;
}

void HorizontalScroller::readProperties(const PropertyBag &bag)
{
    auto read = [&bag](const char *name, const QVariant &defaultValue) {
        return bag.readProperty(QString::fromLatin1(name), defaultValue);
    };
    const QVariantList before = d->snapshot();
    d->m_backColor = read("BackColor", DefaultBackColor).toUInt();
    d->m_foreColor = read("ForeColor", SavedForeColorDefault).toUInt();
    const short border = short(read("BorderStyle", 0).toInt());
    d->m_draw->setFrameStyle(border == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setEnabled(read("Enabled", true).toBool());
    // MouseIcon is applied as its own write would (the host hears of it below).
    d->m_mouseIcon = toPixmap(read("MouseIcon", QVariant::fromValue(QPixmap())));
    const short pointer = short(read("MousePointer", 0).toInt());
    d->m_mousePointer = validMousePointer(pointer) ? pointer : 0;
    d->applyCursor();
    d->m_draw->setHelpContextId(read("WhatsThisHelpID", 0).toInt());
    d->m_draw->setToolTip(read("ToolTipText", QString()).toString());
    d->m_mMaskColor = read("MaskColor", 0u).toUInt();
    d->m_mMaskPicture = toPixmap(read("MaskPicture", QVariant::fromValue(QPixmap())));
    d->m_mBackStyle = short(read("BackStyle", 0).toInt());
    d->m_mHyperLink = toUrl(read("HyperLink", QUrl()));
    d->m_mTextColor = read("TextColor", 0u).toUInt();
    d->m_font.setBold(read("FontBold", false).toBool());
    d->m_font.setItalic(read("FontItalic", false).toBool());
    d->m_fontName = read("FontName", QString()).toString();
    // A stored size beyond the bounds is brought within them.
    d->m_fontSize = boundedFontSize(read("FontSize", 0.0).toFloat());
    d->m_font.setStrikeOut(read("FontStrikethru", false).toBool());
    d->m_font.setUnderline(read("FontUnderline", false).toBool());
    d->applyFont();

    // Loading writes no other property, so the host hears of no other change; bindings hear
    // of the values that changed.
    QPointer<HorizontalScroller> self(this);
    d->notifyChanges(before);
    if (self)
        Q_EMIT PropertyChanged(QStringLiteral("MouseIcon"));
}

void HorizontalScroller::writeProperties(PropertyBag &bag) const
{
    auto write = [&bag](const char *name, const QVariant &value, const QVariant &defaultValue) {
        bag.writeProperty(QString::fromLatin1(name), value, defaultValue);
    };
    write("BackColor", d->m_backColor, DefaultBackColor);
    write("ForeColor", d->m_foreColor, SavedForeColorDefault);
    write("BorderStyle", int(borderStyle()), 0);
    write("Enabled", controlEnabled(), true);
    write("MouseIcon", QVariant::fromValue(d->m_mouseIcon), QVariant::fromValue(QPixmap()));
    write("MousePointer", int(d->m_mousePointer), 0);
    write("WhatsThisHelpID", whatsThisHelpId(), 0);
    write("ToolTipText", toolTipText(), QString());
    write("MaskColor", d->m_mMaskColor, 0u);
    write("MaskPicture", QVariant::fromValue(d->m_mMaskPicture), QVariant::fromValue(QPixmap()));
    write("BackStyle", int(d->m_mBackStyle), 0);
    write("HyperLink", d->m_mHyperLink, QUrl());
    write("TextColor", d->m_mTextColor, 0u);
    write("FontBold", fontBold(), false);
    write("FontItalic", fontItalic(), false);
    write("FontName", d->m_fontName, QString());
    write("FontSize", double(d->m_fontSize), 0.0);
    write("FontStrikethru", fontStrikethru(), false);
    write("FontUnderline", fontUnderline(), false);
}

void HorizontalScroller::loadProperties(const QVariantMap &store)
{
    readProperties(VariantMapPropertyBag(store));
}

QVariantMap HorizontalScroller::saveProperties() const
{
    VariantMapPropertyBag bag;
    writeProperties(bag);
    return bag.values();
}

} // namespace Slidetape
