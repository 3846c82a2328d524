#include "HorizontalScroller.h"

#include "OleColor.h"
#include "PropertyBag.h"
#include "ScrollerProbe.h"
#include "ScrollerSurface.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHideEvent>
#include <QKeyEvent>
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
constexpr int InvalidPropertyValue = 380;

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

// Lines wider than this (in device pixels) are drawn as text each frame instead of being kept
// as a picture.
constexpr int MaxLinePictureWidth = 16384;

} // namespace

ScrollerProbe::ScrollerProbe(HorizontalScroller &control) : QObject(&control), m_control(control)
{
    setObjectName(QStringLiteral("ScrollerProbe"));
}

quint32 ScrollerProbe::systemTickCount()
{
    return Slidetape::systemTickCount();
}

int ScrollerProbe::enabledSlotCount() const
{
    int n = 0;
    for (bool enabled : m_control.m_slotEnabled)
        n += enabled ? 1 : 0;
    return n;
}

void ScrollerProbe::setTickSource(HorizontalScroller::TickSource source)
{
    m_control.m_tickSource =
        source ? std::move(source) : HorizontalScroller::TickSource(&systemTickCount);
}

HorizontalScroller::HorizontalScroller(QWidget *parent)
    : QWidget(parent), m_tickSource(&systemTickCount)
{
    m_probe = new ScrollerProbe(*this);
    m_draw = new ScrollerSurface(this);
    m_draw->installEventFilter(this);

    for (int i = 0; i < SlotCount; ++i) {
        auto *slotTimer = new QTimer(this);
        slotTimer->setObjectName(QStringLiteral("STimer%1").arg(i));
        slotTimer->setSingleShot(true);
        slotTimer->setInterval(1);
        slotTimer->setTimerType(Qt::PreciseTimer);
        connect(slotTimer, &QTimer::timeout, this, [this, i] { onSlotFired(i); });
        m_STimer[size_t(i)] = slotTimer;
    }
    // A program that is closing ends its passes instead of waiting them out.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &HorizontalScroller::stopPasses);

    setAccessibleDescription(QStringLiteral("Scrolling ticker"));
    m_fontName = QStringLiteral("MS Sans Serif");
    m_fontSize = 10;
    m_font.setBold(true);
    applyFont();
    m_backColor = DefaultBackColor;
    m_foreColor = InitialForeColor;
    layoutInner();
}

HorizontalScroller::~HorizontalScroller()
{
    // Passes and waits running further up the stack return as soon as they regain control.
    stopPasses();
}

// --- Requests and passes ----------------------------------------------------------------------

void HorizontalScroller::DoScroll(const QString &ScrollText, short ScrollSpeed, int ScrollPause,
                                  bool Override, short ScrollDir)
{
    // The direction applies to every pass that starts from now on, even when this request is
    // dropped below.
    m_mVertical = ScrollDir == 1 ? 1 : 0;
    if (m_mBusy && !Override)
        return;
    // Nothing is drawn while the host keeps the strip hidden.
    if (hiddenByHost())
        return;
    m_mScrollText = ScrollText;
    m_mScrollSpeed = ScrollSpeed;
    m_mScrollPause = ScrollPause;
    // Assistive technology reads the line that scrolls.
    setAccessibleName(ScrollText.trimmed());
    for (int i = 0; i < SlotCount; ++i) {
        if (!m_slotEnabled[size_t(i)]) {
            m_slotEnabled[size_t(i)] = true;
            m_STimer[size_t(i)]->start();
            return;
        }
    }
}

bool HorizontalScroller::hiddenByHost() const
{
    return m_shownOnce && !isVisible();
}

void HorizontalScroller::stopPasses()
{
    ++m_epoch;
    for (QEventLoop *loop : std::as_const(m_waits))
        loop->quit();
}

void HorizontalScroller::onSlotFired(int slot)
{
    // The slot stays enabled while its pass runs, so DoScroll does not reuse it.
    ++m_runningPasses;
    const PassEnd end = m_mVertical == 1 ? ScrollUp(slot) : ScrollLeft(slot);
    if (end == PassEnd::Destroyed)
        return;
    --m_runningPasses;
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

HorizontalScroller::PassEnd HorizontalScroller::overflow(int slot)
{
    QPointer<HorizontalScroller> self(this);
    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Aborted);
    if (self)
        Q_EMIT Error(OverflowError, QStringLiteral("Overflow"));
    return self ? PassEnd::Overflow : PassEnd::Destroyed;
}

HorizontalScroller::PassEnd HorizontalScroller::stopped(int slot)
{
    QPointer<HorizontalScroller> self(this);
    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Aborted);
    return self ? PassEnd::Stopped : PassEnd::Destroyed;
}

std::optional<HorizontalScroller::PassEnd> HorizontalScroller::step(int slot, quint64 epoch,
                                                                    short &position)
{
    if (epoch != m_epoch)
        return stopped(slot);
    if (!DrawFrame())
        return PassEnd::Destroyed;
    if (epoch != m_epoch)
        return stopped(slot);
    if (!stepPosition(position, m_mScrollSpeed))
        return overflow(slot);
    switch (pause(StepWait, epoch)) {
    case WaitEnd::Destroyed:
        return PassEnd::Destroyed;
    case WaitEnd::Stopped:
        return stopped(slot);
    case WaitEnd::Elapsed:
        break;
    }
    return std::nullopt;
}

HorizontalScroller::PassEnd HorizontalScroller::ScrollLeft(int slot)
{
    QPointer<HorizontalScroller> self(this);
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

    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Hold);
    if (!self)
        return PassEnd::Destroyed;
    switch (pause(m_mScrollPause, epoch)) {
    case WaitEnd::Destroyed:
        return PassEnd::Destroyed;
    case WaitEnd::Stopped:
        return stopped(slot);
    case WaitEnd::Elapsed:
        break;
    }

    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Leave);
    if (!self)
        return PassEnd::Destroyed;
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

HorizontalScroller::PassEnd HorizontalScroller::ScrollUp(int slot)
{
    QPointer<HorizontalScroller> self(this);
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

    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Hold);
    if (!self)
        return PassEnd::Destroyed;
    switch (pause(m_mScrollPause, epoch)) {
    case WaitEnd::Destroyed:
        return PassEnd::Destroyed;
    case WaitEnd::Stopped:
        return stopped(slot);
    case WaitEnd::Elapsed:
        break;
    }

    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Leave);
    if (!self)
        return PassEnd::Destroyed;
    while (m_mY > -LineHeightBound) {
        if (const auto end = step(slot, epoch, m_mY))
            return *end;
    }

    m_mBusy = false;
    Q_EMIT m_probe->passPhase(slot, ScrollerProbe::Done);
    return self ? PassEnd::Finished : PassEnd::Destroyed;
}

void HorizontalScroller::layoutLine()
{
    const qreal ratio = m_backB.devicePixelRatio();
    LinePicture &line = m_line;
    if (line.ratio == ratio && line.fore == m_foreColor && line.back == m_backColor &&
        line.text == m_mScrollText && line.font == m_font)
        return;
    ++m_lineLayouts;
    line.text = m_mScrollText;
    line.font = m_font;
    line.fore = m_foreColor;
    line.back = m_backColor;
    line.ratio = ratio;
    const QFontMetrics fm(m_font);
    line.ascent = fm.ascent();
    // The advance, widened by the ink that may stand out of it (italic overhang, a glyph's
    // side bearings).
    const QRect ink = fm.boundingRect(m_mScrollText);
    const int width = qMax(fm.horizontalAdvance(m_mScrollText), ink.right() + 1) + 2;
    const int deviceWidth = qCeil(width * ratio);
    line.direct = deviceWidth > MaxLinePictureWidth;
    if (line.direct || m_mScrollText.isEmpty()) {
        line.image = QImage();
        return;
    }
    line.image = QImage(deviceWidth, qCeil(fm.height() * ratio), QImage::Format_RGB32);
    line.image.setDevicePixelRatio(ratio);
    line.image.fill(oleColorToQColor(m_backColor));
    QPainter p(&line.image);
    p.setFont(m_font);
    p.setPen(oleColorToQColor(m_foreColor));
    p.drawText(QPointF(0, line.ascent), m_mScrollText);
}

bool HorizontalScroller::DrawFrame()
{
    QPointer<HorizontalScroller> self(this);
    m_currentX = m_mX;
    m_currentY = m_mY;
    const QFontMetrics fm(m_font);
    const int lineHeight = fm.height();
    if (!m_backB.isNull()) {
        layoutLine();
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
        if (m_line.direct) {
            p.setFont(m_font);
            p.setPen(oleColorToQColor(m_foreColor));
            p.drawText(QPointF(m_currentX, m_currentY + fm.ascent()), m_mScrollText);
            ink = bufferRect;
        } else if (!m_line.image.isNull()) {
            p.drawImage(QPoint(m_mX, m_mY), m_line.image);
            ink = QRect(QPoint(m_mX, m_mY), m_line.image.deviceIndependentSize().toSize());
        }
        m_bufferInk = ink.intersected(bufferRect);
    }
    m_drawnText = m_mScrollText;
    m_drawnAt = QPoint(m_mX, m_mY);
    // Printing a line leaves the drawing position at the start of the next line.
    m_currentX = 0;
    m_currentY = float(m_mY + lineHeight);

    QCoreApplication::processEvents();
    if (!self)
        return false;

    // Whatever the buffer holds now (a nested pass may have drawn into it meanwhile) reaches
    // the screen in one copy. Only the places where the text was and is now are repainted,
    // unless the background changed or the strip shows no frame yet.
    if (hiddenByHost()) {
        m_screenValid = false;
    } else {
        const bool whole = !m_screenValid || m_screenBack != m_bufferBack || !m_draw->hasFrame();
        const QRect moved = whole ? QRect() : m_screenInk.united(m_bufferInk);
        m_draw->blit(m_backB, m_backB.width(), m_backB.height(), moved, whole);
        m_screenInk = m_bufferInk;
        m_screenBack = m_bufferBack;
        m_screenValid = true;
    }
    Q_EMIT m_probe->frameShown(m_drawnText, m_drawnAt.x(), m_drawnAt.y());
    if (!self)
        return false;
    Q_EMIT Change();
    return !self.isNull();
}

void HorizontalScroller::PS(int Interval)
{
    pause(Interval, m_epoch);
}

HorizontalScroller::WaitEnd HorizontalScroller::pause(int interval, quint64 epoch)
{
    QPointer<HorizontalScroller> self(this);
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
    m_backB.fill(oleColorToQColor(m_backColor));
    m_bufferInk = QRect();
    m_bufferBack = m_backColor;
    m_currentX = 0;
    m_currentY = 0;
    Q_EMIT Change();
}

void HorizontalScroller::Refresh()
{
    m_draw->clearFrame();
    m_draw->repaint();
    m_screenValid = false;
    Q_EMIT Change();
}

// --- Layout and events ------------------------------------------------------------------------

// Also called when a pass starts: a hidden control gets its resize event only when shown, but
// its passes run (and measure the strip) all the same.
void HorizontalScroller::layoutInner()
{
    if (m_draw->geometry() != rect())
        m_draw->setGeometry(rect());
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

void HorizontalScroller::fontUpdated()
{
    updateGeometry();
}

QSize HorizontalScroller::sizeHint() const
{
    const QFontMetrics fm(m_font);
    const QMargins frame = m_draw->contentsMargins();
    return QSize(fm.averageCharWidth() * 40 + frame.left() + frame.right(),
                 fm.height() + frame.top() + frame.bottom());
}

QSize HorizontalScroller::minimumSizeHint() const
{
    const QFontMetrics fm(m_font);
    const QMargins frame = m_draw->contentsMargins();
    return QSize(fm.averageCharWidth() * 4 + frame.left() + frame.right(),
                 fm.height() + frame.top() + frame.bottom());
}

void HorizontalScroller::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutInner();
}

void HorizontalScroller::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_shownOnce = true;
}

void HorizontalScroller::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // A hidden strip draws nothing: running passes end at their next step.
    stopPasses();
    Q_EMIT Hide();
}

bool HorizontalScroller::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_draw)
        return QWidget::eventFilter(watched, event);
    QPointer<ScrollerSurface> draw(m_draw);
    // A disabled control answers no user input (event filters see it even so).
    if (!m_draw->isEnabled())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        m_clickArmed = true;
        Q_EMIT MouseDown(buttonCode(e->button()), shiftCode(e->modifiers()),
                         float(e->position().x()), float(e->position().y()));
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        const bool click = m_clickArmed && m_draw->rect().contains(e->position().toPoint());
        m_clickArmed = false;
        QPointer<HorizontalScroller> self(this);
        Q_EMIT MouseUp(buttonCode(e->button()), shiftCode(e->modifiers()), float(e->position().x()),
                       float(e->position().y()));
        if (self && click)
            Q_EMIT Click();
        break;
    }
    case QEvent::MouseButtonDblClick:
        m_clickArmed = false;
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
        const QString text = e->text();
        if (self && !text.isEmpty())
            Q_EMIT KeyPress(short(text.at(0).unicode()));
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

void HorizontalScroller::changed(const char *name)
{
    Q_EMIT PropertyChanged(QString::fromLatin1(name));
}

void HorizontalScroller::applyFont()
{
    m_font.setFamily(m_fontName);
    // No size (0 or less) leaves the toolkit's default size in place.
    if (m_fontSize > 0)
        m_font.setPointSizeF(m_fontSize);
    else
        m_font.setPointSizeF(QFont().pointSizeF());
}

void HorizontalScroller::applyCursor()
{
    if (m_mousePointer == 0)
        m_draw->unsetCursor();
    else if (m_mousePointer == 99)
        m_mouseIcon.isNull() ? m_draw->unsetCursor() : m_draw->setCursor(QCursor(m_mouseIcon));
    else
        m_draw->setCursor(cursorShape(m_mousePointer));
}

short HorizontalScroller::borderStyle() const
{
    return m_draw->frameShape() == QFrame::Box ? 1 : 0;
}

void HorizontalScroller::setBorderStyle(short value)
{
    if (value != 0 && value != 1) {
        Q_EMIT Error(InvalidPropertyValue, QStringLiteral("Invalid property value"));
        return;
    }
    m_draw->setFrameStyle(value == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    m_draw->setLineWidth(1);
    updateGeometry();
    Q_EMIT borderStyleChanged();
    changed("BorderStyle");
}

void HorizontalScroller::setControlEnabled(bool value)
{
    setEnabled(value);
    Q_EMIT controlEnabledChanged();
    changed("Enabled");
}

void HorizontalScroller::setMouseIcon(const QPixmap &value)
{
    m_mouseIcon = value;
    applyCursor();
    Q_EMIT mouseIconChanged();
    changed("MouseIcon");
}

void HorizontalScroller::setMousePointer(short value)
{
    if (!validMousePointer(value)) {
        Q_EMIT Error(InvalidPropertyValue, QStringLiteral("Invalid property value"));
        return;
    }
    m_mousePointer = value;
    applyCursor();
    Q_EMIT mousePointerChanged();
    changed("MousePointer");
}

void HorizontalScroller::setForeColor(uint value)
{
    m_foreColor = value;
    Q_EMIT foreColorChanged();
    changed("ForeColor");
}

void HorizontalScroller::setBackColor(uint value)
{
    m_backColor = value;
    Q_EMIT backColorChanged();
    changed("BackColor");
}

int HorizontalScroller::whatsThisHelpId() const
{
    return m_draw->helpContextId();
}

void HorizontalScroller::setWhatsThisHelpId(int value)
{
    m_draw->setHelpContextId(value);
    Q_EMIT whatsThisHelpIdChanged();
    changed("WhatsThisHelpID");
}

QString HorizontalScroller::toolTipText() const
{
    return m_draw->toolTip();
}

void HorizontalScroller::setToolTipText(const QString &value)
{
    m_draw->setToolTip(value);
    Q_EMIT toolTipTextChanged();
    changed("ToolTipText");
}

void HorizontalScroller::setMaskColor(uint value)
{
    m_mMaskColor = value;
    Q_EMIT maskColorChanged();
    changed("MaskColor");
}

void HorizontalScroller::setMaskPicture(const QPixmap &value)
{
    m_mMaskPicture = value;
    Q_EMIT maskPictureChanged();
    changed("MaskPicture");
}

void HorizontalScroller::setBackStyle(short value)
{
    m_mBackStyle = value;
    Q_EMIT backStyleChanged();
    changed("BackStyle");
}

void HorizontalScroller::setHyperLink(const QUrl &value)
{
    m_mHyperLink = value;
    Q_EMIT hyperLinkChanged();
    changed("HyperLink");
}

void HorizontalScroller::setTextColor(uint value)
{
    m_mTextColor = value;
    Q_EMIT textColorChanged();
    changed("TextColor");
}

QColor HorizontalScroller::foregroundColor() const
{
    return oleColorToQColor(m_foreColor);
}

void HorizontalScroller::setForegroundColor(const QColor &value)
{
    setForeColor(qColorToOleColor(value));
}

QColor HorizontalScroller::backgroundColor() const
{
    return oleColorToQColor(m_backColor);
}

void HorizontalScroller::setBackgroundColor(const QColor &value)
{
    setBackColor(qColorToOleColor(value));
}

QColor HorizontalScroller::maskQColor() const
{
    return oleColorToQColor(m_mMaskColor);
}

void HorizontalScroller::setMaskQColor(const QColor &value)
{
    setMaskColor(qColorToOleColor(value));
}

QColor HorizontalScroller::textQColor() const
{
    return oleColorToQColor(m_mTextColor);
}

void HorizontalScroller::setTextQColor(const QColor &value)
{
    setTextColor(qColorToOleColor(value));
}

void HorizontalScroller::setFontBold(bool value)
{
    m_font.setBold(value);
    fontUpdated();
    Q_EMIT fontChanged();
    changed("FontBold");
}

void HorizontalScroller::setFontItalic(bool value)
{
    m_font.setItalic(value);
    fontUpdated();
    Q_EMIT fontChanged();
    changed("FontItalic");
}

void HorizontalScroller::setFontName(const QString &value)
{
    m_fontName = value;
    applyFont();
    fontUpdated();
    Q_EMIT fontChanged();
    changed("FontName");
}

void HorizontalScroller::setFontSize(float value)
{
    m_fontSize = value;
    applyFont();
    fontUpdated();
    Q_EMIT fontChanged();
    changed("FontSize");
}

void HorizontalScroller::setFontStrikethru(bool value)
{
    m_font.setStrikeOut(value);
    fontUpdated();
    Q_EMIT fontChanged();
    changed("FontStrikethru");
}

void HorizontalScroller::setFontUnderline(bool value)
{
    m_font.setUnderline(value);
    fontUpdated();
    Q_EMIT fontChanged();
    changed("FontUnderline");
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
    m_backColor = read("BackColor", DefaultBackColor).toUInt();
    m_foreColor = read("ForeColor", SavedForeColorDefault).toUInt();
    const short border = short(read("BorderStyle", 0).toInt());
    m_draw->setFrameStyle(border == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setEnabled(read("Enabled", true).toBool());
    setMouseIcon(toPixmap(read("MouseIcon", QVariant::fromValue(QPixmap()))));
    const short pointer = short(read("MousePointer", 0).toInt());
    m_mousePointer = validMousePointer(pointer) ? pointer : 0;
    applyCursor();
    m_draw->setHelpContextId(read("WhatsThisHelpID", 0).toInt());
    m_draw->setToolTip(read("ToolTipText", QString()).toString());
    m_mMaskColor = read("MaskColor", 0u).toUInt();
    m_mMaskPicture = toPixmap(read("MaskPicture", QVariant::fromValue(QPixmap())));
    m_mBackStyle = short(read("BackStyle", 0).toInt());
    m_mHyperLink = toUrl(read("HyperLink", QUrl()));
    m_mTextColor = read("TextColor", 0u).toUInt();
    m_font.setBold(read("FontBold", false).toBool());
    m_font.setItalic(read("FontItalic", false).toBool());
    m_fontName = read("FontName", QString()).toString();
    m_fontSize = read("FontSize", 0.0).toFloat();
    m_font.setStrikeOut(read("FontStrikethru", false).toBool());
    m_font.setUnderline(read("FontUnderline", false).toBool());
    applyFont();
    fontUpdated();

    // Loading writes no property, so the host hears of no change; bindings do.
    QPointer<HorizontalScroller> self(this);
    using Notify = void (HorizontalScroller::*)();
    for (Notify notify :
         {&HorizontalScroller::borderStyleChanged, &HorizontalScroller::controlEnabledChanged,
          &HorizontalScroller::mouseIconChanged, &HorizontalScroller::mousePointerChanged,
          &HorizontalScroller::foreColorChanged, &HorizontalScroller::backColorChanged,
          &HorizontalScroller::fontChanged, &HorizontalScroller::whatsThisHelpIdChanged,
          &HorizontalScroller::toolTipTextChanged, &HorizontalScroller::maskColorChanged,
          &HorizontalScroller::maskPictureChanged, &HorizontalScroller::backStyleChanged,
          &HorizontalScroller::hyperLinkChanged, &HorizontalScroller::textColorChanged}) {
        if (!self)
            return;
        (this->*notify)();
    }
}

void HorizontalScroller::writeProperties(PropertyBag &bag) const
{
    auto write = [&bag](const char *name, const QVariant &value, const QVariant &defaultValue) {
        bag.writeProperty(QString::fromLatin1(name), value, defaultValue);
    };
    write("BackColor", m_backColor, DefaultBackColor);
    write("ForeColor", m_foreColor, SavedForeColorDefault);
    write("BorderStyle", int(borderStyle()), 0);
    write("Enabled", isEnabled(), true);
    write("MouseIcon", QVariant::fromValue(m_mouseIcon), QVariant::fromValue(QPixmap()));
    write("MousePointer", int(m_mousePointer), 0);
    write("WhatsThisHelpID", whatsThisHelpId(), 0);
    write("ToolTipText", toolTipText(), QString());
    write("MaskColor", m_mMaskColor, 0u);
    write("MaskPicture", QVariant::fromValue(m_mMaskPicture), QVariant::fromValue(QPixmap()));
    write("BackStyle", int(m_mBackStyle), 0);
    write("HyperLink", m_mHyperLink, QUrl());
    write("TextColor", m_mTextColor, 0u);
    write("FontBold", fontBold(), false);
    write("FontItalic", fontItalic(), false);
    write("FontName", m_fontName, QString());
    write("FontSize", double(m_fontSize), 0.0);
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
