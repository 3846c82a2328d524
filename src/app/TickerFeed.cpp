#include "TickerFeed.h"

#include "browser/BrowserPanel.h"
#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "window/PopupMenu.h"
#include "window/ScrollerHost.h"
#include "window/TickerLine.h"
#include "window/frmStockMain.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <vector>

namespace {

const QString kIndicesButton = QStringLiteral("IndicesURL");

// The quote grid's colours, every cell's own colours included, so that printing can give
// back exactly what was on screen.
struct GridColors
{
    QColor fixedBack, fixedFore, back, fore, backBkg;
    int rows = 0, cols = 0;
    std::vector<std::pair<QColor, QColor>> cells; // (back, fore) row by row

    static GridColors take(const FlexGrid &grid)
    {
        GridColors saved{
            grid.fixedBackColor(), grid.fixedForeColor(), grid.backColor(), grid.foreColor(),
            grid.backColorBkg(),   grid.rows(),           grid.cols(),      {}};
        saved.cells.reserve(std::size_t(saved.rows) * std::size_t(saved.cols));
        for (int r = 0; r < saved.rows; ++r)
            for (int c = 0; c < saved.cols; ++c)
                saved.cells.emplace_back(grid.cellBackColor(r, c), grid.cellForeColor(r, c));
        return saved;
    }

    void giveBack(FlexGrid &grid) const
    {
        grid.setFixedBackColor(fixedBack);
        grid.setFixedForeColor(fixedFore);
        grid.setBackColor(back);
        grid.setForeColor(fore);
        grid.setBackColorBkg(backBkg);
        for (int r = 0; r < rows && r < grid.rows(); ++r)
            for (int c = 0; c < cols && c < grid.cols(); ++c) {
                const auto &[cellBack, cellFore] = cells[std::size_t(r * cols + c)];
                grid.setCellBackColor(r, c, cellBack);
                grid.setCellForeColor(r, c, cellFore);
            }
    }
};

void blackOnWhite(FlexGrid &grid)
{
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    grid.setFixedBackColor(white);
    grid.setFixedForeColor(black);
    grid.setBackColor(white);
    grid.setBackColorBkg(white);
    grid.setForeColor(black);
    for (int r = 0; r < grid.rows(); ++r)
        for (int c = 0; c < grid.cols(); ++c) {
            grid.setCellBackColor(r, c, white);
            grid.setCellForeColor(r, c, black);
        }
}

} // namespace

TickerFeed::TickerFeed(MainState &state, frmStockMain &form, frmOptions &options,
                       ScrollerHost &scroller, QuoteGrid &quoteGrid, QTimer &timScroll,
                       QObject *parent)
    : QObject(parent), m_state(state), m_form(form), m_options(options), m_scroller(scroller),
      m_quoteGrid(quoteGrid), m_timScroll(timScroll)
{
    while (m_state.TickerItems.size() < ItemCount)
        m_state.TickerItems.append(QString());
    // Soak tests and benchmarks run the lines faster through VANTORA_TEST_LINE_MS.
    bool lineGiven = false;
    const int line = qEnvironmentVariableIntValue("VANTORA_TEST_LINE_MS", &lineGiven);
    if (lineGiven && line >= 0)
        m_lineInterval = line;
    setNavigate(nullptr);
    setToggleBrowserTray(nullptr);
}

TickerFeed::~TickerFeed() = default;

void TickerFeed::setNavigate(std::function<void(const QString &)> navigate)
{
    if (!navigate) {
        navigate = [](const QString &address) {
            Platform::instance().programs->openUrl(QUrl(address));
        };
    }
    m_navigate = std::move(navigate);
}

void TickerFeed::setToggleBrowserTray(std::function<void()> toggle)
{
    if (!toggle)
        toggle = [this] { m_state.BrowserOpen = !m_state.BrowserOpen; };
    m_toggleBrowserTray = std::move(toggle);
}

void TickerFeed::pumpEvents()
{
    QCoreApplication::processEvents();
}

QString &TickerFeed::item(int index)
{
    while (m_state.TickerItems.size() < ItemCount)
        m_state.TickerItems.append(QString());
    return m_state.TickerItems[qBound(0, index, ItemCount - 1)];
}

QString TickerFeed::shortenName(const QString &name)
{
    return TickerLine::shortenName(name);
}

QString TickerFeed::takeTickerLine(QString &replyText, const std::function<void()> &pumpEvents)
{
    return TickerLine::take(replyText, pumpEvents);
}

quint32 TickerFeed::lineColor(const QString &line)
{
    return TickerLine::color(line);
}

void TickerFeed::BuildTickerItem()
{
    QString &target = item(m_state.TickerIndex);
    target.clear();
    // Taken into a local first: the event pumping may let another download change ReplyText.
    const QString line = takeTickerLine(m_state.ReplyText, &TickerFeed::pumpEvents);
    item(m_state.TickerIndex) = line;
    wake();
}

void TickerFeed::stop()
{
    m_stopping = true;
}

void TickerFeed::timScroll_Timer()
{
    if (m_passRunning || m_stopping)
        return;
    m_passRunning = true;
    bool scrolled = false;

    if (!m_options.model().EnableScrollIndex.value()) {
        m_scroller.setVisible(false);
        for (int i = 0; i < ItemCount; ++i)
            item(i).clear();
    } else {
        m_scroller.setVisible(true);
        // While lines scroll, the timer's ticks (which keep coming in the event pumping
        // inside the pass) would only find the pass running: they are held back until it
        // ends, so the pass is not woken 40 times a second for nothing.
        bool heldBack = false;
        for (int i = 0; i < ItemCount && !m_stopping; ++i) {
            // An empty line costs nothing: the events are pumped only on the way to a line
            // that scrolls, so a pass over 43 empty lines returns at once.
            if (item(i).isEmpty())
                continue;
            pumpEvents();
            // Read afresh: an index download nested in the pumping may have rebuilt it.
            const QString line = item(i);
            if (line.isEmpty() || m_stopping)
                continue;
            pumpEvents();
            // The options are read for every line, so a change reaches the next line; a
            // ticker switched off ends the pass.
            if (!m_options.model().EnableScrollIndex.value())
                break;
            const qint32 hold = holdTime();
            const auto speed = qint16(qBound(-32768, m_options.model().ScrollSpeed.value(), 32767));
            const quint32 color = lineColor(line);
            if (!heldBack) {
                heldBack = true;
                m_timScroll.setInterval(HeldBackInterval);
            }
            m_scroller.setForeColor(color);
            m_scroller.doScroll(QStringLiteral(" ") + line, speed, hold, false);
            Q_EMIT lineScrolled(i, line, color);
            m_scroller.ps(m_lineInterval);
            pumpEvents();
        }
        scrolled = heldBack;
    }
    // A pass that showed nothing (no lines, or the ticker off) would be followed by the same
    // again: the timer ticks again only once something changes (wake()). A pass that showed
    // lines is followed by the next one 25 ms after it.
    m_idle = !scrolled;
    m_timScroll.setInterval(m_idle ? HeldBackInterval : TickInterval);

    m_passRunning = false;
    // The next tick comes one interval after the pass, not at once.
    if (m_timScroll.isActive())
        m_timScroll.start();
    Q_EMIT passFinished();
}

qint32 TickerFeed::holdTime() const
{
    if (!m_options.model().ScrollPause.value())
        return 0;
    // A position beyond the list's few entries cannot exceed the control's 16-bit hold.
    const int position = qMax(0, m_options.model().ScrollPauseTime.value());
    return qMin((position + 1) * 1000, 32000);
}

void TickerFeed::wake()
{
    if (!m_idle)
        return;
    m_idle = false;
    m_timScroll.setInterval(TickInterval);
}

void TickerFeed::chkScroll_Changed()
{
    wake();
    m_scroller.setVisible(m_options.model().EnableScrollIndex.value());
}

void TickerFeed::Scroller1_DblClick()
{
    BrowserPanel::SetButtons(m_form);
    if (m_state.ActiveButton != kIndicesButton || !m_state.BrowserOpen) {
        m_navigate(m_options.model().IndicesURL.value());
        if (!m_state.BrowserOpen)
            m_toggleBrowserTray();
    } else {
        // The index page is showing: the same double-click closes the tray again.
        m_toggleBrowserTray();
    }
    m_state.ActiveButton = kIndicesButton;
    m_form.gridQuotes()->setFocus();
}

void TickerFeed::Scroller1_MouseDown(short button, short, float, float)
{
    if (button == 2)
        PopupMenu::popup(m_popupMenu, QCursor::pos());
}

void TickerFeed::Scroller1_MouseMove(short button, short, float, float)
{
    if (button != 1)
        return;
    // The window manager moves the window as if its title bar had been pressed.
    QWidget *strip = m_scroller.widget();
    QWidget *window = strip ? strip->window() : &m_form;
    if (strip && strip->mouseGrabber() == strip)
        strip->releaseMouse();
    if (QWindow *handle = window->windowHandle())
        handle->startSystemMove();
}

void TickerFeed::cmdPrintTicker_Click()
{
    FlexGrid &grid = *m_form.gridQuotes();
    Platform &platform = Platform::instance();
    const GridColors saved = GridColors::take(grid);

    std::unique_ptr<QPrinter> printer = platform.printer->createPrinter();
    if (!printer || !platform.dialogs->print(&m_form, printer.get()))
        return; // a cancelled dialog prints nothing
    const int copies = qMax(1, printer->copyCount());
    printer->setCopyCount(1); // each copy is printed as a page of its own

    // Whatever happens while printing, the grid comes back as it was.
    struct Restore
    {
        FlexGrid &grid;
        QuoteGrid &quoteGrid;
        const GridColors &saved;
        ~Restore()
        {
            quoteGrid.AddLabels();
            saved.giveBack(grid);
            grid.setVisible(true);
            grid.setRedraw(true);
        }
    } restore{grid, m_quoteGrid, saved};

    QPainter painter;
    if (!painter.begin(printer.get()))
        return;
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString heading = QStringLiteral("Vantora Ticker Readout ") +
                            locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                            locale.toString(now.time(), QLocale::ShortFormat);
    const double twip = printer->resolution() / 1440.0;
    const double scale = double(printer->resolution()) / qMax(1, grid.logicalDpiY());

    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            printer->newPage();
        grid.setVisible(false);
        grid.setRedraw(false);
        blackOnWhite(grid);

        painter.setPen(Qt::black);
        painter.setFont(m_form.font());
        const QFontMetrics metrics(painter.font(), printer.get());
        // The heading, an empty line, then the grid 300 twips down.
        painter.drawText(QPointF(0, metrics.ascent()), heading);
        grid.setRedraw(true); // the grid draws its picture only with redrawing on
        painter.save();
        painter.translate(0, qMax(300 * twip, 2.0 * metrics.lineSpacing()));
        painter.scale(scale, scale);
        grid.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.restore();
    }
    painter.end();
}

void TickerFeed::setBusyPointer(bool busy)
{
    m_scroller.setMousePointer(busy ? PointerArrowHourglass : PointerDefault);
}
