#include "HorizontalScroller.h"

#include "OleColor.h"
#include "PropertyBag.h"
#include "ScrollerSurface.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

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

// Runs the event loop for at most ms milliseconds, returning earlier when the loop is told to
// quit. While the application is shutting down a nested loop will not start, so the wait then
// falls back to one blocking round of event processing.
void waitForEvents(int ms)
{
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    wake.start(ms);
    if (loop.exec() != 0 && wake.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

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

quint32 HorizontalScroller::systemTickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return quint32(quint64(ms)); // wraps like any 32-bit millisecond counter
}

HorizontalScroller::HorizontalScroller(QWidget *parent)
    : QWidget(parent), m_tickSource(&HorizontalScroller::systemTickCount)
{
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

    m_fontName = QStringLiteral("MS Sans Serif");
    m_fontSize = 10;
    m_font.setBold(true);
    applyFont();
    m_backColor = DefaultBackColor;
    m_foreColor = InitialForeColor;
    layoutInner();
}

HorizontalScroller::~HorizontalScroller() = default;

void HorizontalScroller::setTickSource(TickSource source)
{
    m_tickSource = source ? std::move(source) : TickSource(&HorizontalScroller::systemTickCount);
}

int HorizontalScroller::enabledSlotCount() const
{
    int n = 0;
    for (bool enabled : m_slotEnabled)
        n += enabled ? 1 : 0;
    return n;
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
    m_mScrollText = ScrollText;
    m_mScrollSpeed = ScrollSpeed;
    m_mScrollPause = ScrollPause;
    for (int i = 0; i < SlotCount; ++i) {
        if (!m_slotEnabled[size_t(i)]) {
            m_slotEnabled[size_t(i)] = true;
            m_STimer[size_t(i)]->start();
            return;
        }
    }
}

void HorizontalScroller::onSlotFired(int slot)
{
    // The slot stays enabled while its pass runs, so DoScroll does not reuse it.
    const PassEnd end = m_mVertical == 1 ? ScrollUp(slot) : ScrollLeft(slot);
    if (end == PassEnd::Destroyed)
        return;
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
    Q_EMIT passPhase(slot, Aborted);
    if (self)
        Q_EMIT Error(OverflowError, QStringLiteral("Overflow"));
    return self ? PassEnd::Overflow : PassEnd::Destroyed;
}

HorizontalScroller::PassEnd HorizontalScroller::ScrollLeft(int slot)
{
    QPointer<HorizontalScroller> self(this);
    layoutInner();
    const int innerWidth = m_draw->contentsRect().width();
    if (innerWidth > std::numeric_limits<short>::max())
        return overflow(slot);
    m_mX = short(innerWidth);
    m_mY = 0;
    m_mBusy = true;

    Q_EMIT passPhase(slot, Enter);
    if (!self)
        return PassEnd::Destroyed;
    while (m_mX > 1) {
        if (!DrawFrame())
            return PassEnd::Destroyed;
        if (!stepPosition(m_mX, m_mScrollSpeed))
            return overflow(slot);
        if (!pause(StepWait))
            return PassEnd::Destroyed;
    }

    Q_EMIT passPhase(slot, Hold);
    if (!self || !pause(m_mScrollPause))
        return PassEnd::Destroyed;

    Q_EMIT passPhase(slot, Leave);
    if (!self)
        return PassEnd::Destroyed;
    for (;;) {
        // Re-evaluated before every step: the text may have been replaced meanwhile.
        const qint64 bound = -qint64(CharWidthBound) * m_mScrollText.size();
        if (bound < std::numeric_limits<qint32>::min())
            return overflow(slot);
        if (!(m_mX > bound))
            break;
        if (!DrawFrame())
            return PassEnd::Destroyed;
        if (!stepPosition(m_mX, m_mScrollSpeed))
            return overflow(slot);
        if (!pause(StepWait))
            return PassEnd::Destroyed;
    }

    m_mBusy = false;
    Q_EMIT passPhase(slot, Done);
    return self ? PassEnd::Finished : PassEnd::Destroyed;
}

HorizontalScroller::PassEnd HorizontalScroller::ScrollUp(int slot)
{
    QPointer<HorizontalScroller> self(this);
    layoutInner();
    const int innerHeight = m_draw->contentsRect().height();
    if (innerHeight > std::numeric_limits<short>::max())
        return overflow(slot);
    m_mX = 1;
    m_mY = short(innerHeight);
    m_mBusy = true;

    Q_EMIT passPhase(slot, Enter);
    if (!self)
        return PassEnd::Destroyed;
    while (m_mY > 1) {
        if (!DrawFrame())
            return PassEnd::Destroyed;
        if (!stepPosition(m_mY, m_mScrollSpeed))
            return overflow(slot);
        if (!pause(StepWait))
            return PassEnd::Destroyed;
    }

    Q_EMIT passPhase(slot, Hold);
    if (!self || !pause(m_mScrollPause))
        return PassEnd::Destroyed;

    Q_EMIT passPhase(slot, Leave);
    if (!self)
        return PassEnd::Destroyed;
    while (m_mY > -LineHeightBound) {
        if (!DrawFrame())
            return PassEnd::Destroyed;
        if (!stepPosition(m_mY, m_mScrollSpeed))
            return overflow(slot);
        if (!pause(StepWait))
            return PassEnd::Destroyed;
    }

    m_mBusy = false;
    Q_EMIT passPhase(slot, Done);
    return self ? PassEnd::Finished : PassEnd::Destroyed;
}

bool HorizontalScroller::DrawFrame()
{
    QPointer<HorizontalScroller> self(this);
    m_backB.fill(oleColorToQColor(m_backColor));
    m_currentX = m_mX;
    m_currentY = m_mY;
    int lineHeight = 0;
    if (!m_backB.isNull()) {
        QPainter p(&m_backB);
        p.setFont(m_font);
        p.setPen(oleColorToQColor(m_foreColor));
        const QFontMetrics fm = p.fontMetrics();
        lineHeight = fm.height();
        p.drawText(QPointF(m_currentX, m_currentY + fm.ascent()), m_mScrollText);
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
    // the screen in one copy.
    m_draw->blit(m_backB, m_backB.width(), m_backB.height());
    Q_EMIT frameShown(m_drawnText, m_drawnAt.x(), m_drawnAt.y());
    return !self.isNull();
}

void HorizontalScroller::PS(int Interval)
{
    pause(Interval);
}

bool HorizontalScroller::pause(int interval)
{
    QPointer<HorizontalScroller> self(this);
    // A copy, so the wait can finish even if the control goes away meanwhile.
    const TickSource ticks = m_tickSource;
    const quint32 start = ticks();
    for (;;) {
        // Unsigned difference: correct across a wrap of the counter.
        const quint32 elapsed = ticks() - start;
        if (interval <= 0 || elapsed >= quint32(interval))
            return !self.isNull();
        waitForEvents(int(quint32(interval) - elapsed));
        if (!self)
            return false;
    }
}

void HorizontalScroller::Cls()
{
    m_backB.fill(oleColorToQColor(m_backColor));
    m_currentX = 0;
    m_currentY = 0;
}

void HorizontalScroller::Refresh()
{
    m_draw->clearFrame();
    m_draw->repaint();
}

// --- Layout and events ------------------------------------------------------------------------

// Also called when a pass starts: a hidden control gets its resize event only when shown, but
// its passes run (and measure the strip) all the same.
void HorizontalScroller::layoutInner()
{
    if (m_draw->geometry() != rect())
        m_draw->setGeometry(rect());
    // The buffer has the size of the visible strip; what it held is kept where it still fits.
    const QSize size = m_draw->size();
    if (m_backB.size() == size)
        return;
    QImage resized(size, QImage::Format_RGB32);
    if (!resized.isNull()) {
        resized.fill(oleColorToQColor(m_backColor));
        if (!m_backB.isNull()) {
            QPainter p(&resized);
            p.drawImage(QPoint(0, 0), m_backB);
        }
    }
    m_backB = resized;
}

void HorizontalScroller::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutInner();
}

void HorizontalScroller::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
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
    changed("BorderStyle");
}

void HorizontalScroller::setControlEnabled(bool value)
{
    setEnabled(value);
    changed("Enabled");
}

void HorizontalScroller::setMouseIcon(const QPixmap &value)
{
    m_mouseIcon = value;
    applyCursor();
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
    changed("MousePointer");
}

void HorizontalScroller::setForeColor(uint value)
{
    m_foreColor = value;
    changed("ForeColor");
}

void HorizontalScroller::setBackColor(uint value)
{
    m_backColor = value;
    changed("BackColor");
}

int HorizontalScroller::whatsThisHelpId() const
{
    return m_draw->helpContextId();
}

void HorizontalScroller::setWhatsThisHelpId(int value)
{
    m_draw->setHelpContextId(value);
    changed("WhatsThisHelpID");
}

QString HorizontalScroller::toolTipText() const
{
    return m_draw->toolTip();
}

void HorizontalScroller::setToolTipText(const QString &value)
{
    m_draw->setToolTip(value);
    changed("ToolTipText");
}

void HorizontalScroller::setMaskColor(uint value)
{
    m_mMaskColor = value;
    changed("MaskColor");
}

void HorizontalScroller::setMaskPicture(const QPixmap &value)
{
    m_mMaskPicture = value;
    changed("MaskPicture");
}

void HorizontalScroller::setBackStyle(short value)
{
    m_mBackStyle = value;
    changed("BackStyle");
}

void HorizontalScroller::setHyperLink(const QUrl &value)
{
    m_mHyperLink = value;
    changed("HyperLink");
}

void HorizontalScroller::setTextColor(uint value)
{
    m_mTextColor = value;
    changed("TextColor");
}

void HorizontalScroller::setFontBold(bool value)
{
    m_font.setBold(value);
    changed("FontBold");
}

void HorizontalScroller::setFontItalic(bool value)
{
    m_font.setItalic(value);
    changed("FontItalic");
}

void HorizontalScroller::setFontName(const QString &value)
{
    m_fontName = value;
    applyFont();
    changed("FontName");
}

void HorizontalScroller::setFontSize(float value)
{
    m_fontSize = value;
    applyFont();
    changed("FontSize");
}

void HorizontalScroller::setFontStrikethru(bool value)
{
    m_font.setStrikeOut(value);
    changed("FontStrikethru");
}

void HorizontalScroller::setFontUnderline(bool value)
{
    m_font.setUnderline(value);
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
