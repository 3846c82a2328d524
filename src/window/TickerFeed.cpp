#include "TickerFeed.h"

#include "PopupMenu.h"
#include "ScrollerHost.h"
#include "app/MainState.h"
#include "app/frmStockMain.h"
#include "browser/BrowserPanel.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "ui_frmOptions.h"
#include "ui_frmStockMain.h"

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

const QString kTab = QStringLiteral("\t");
const QString kIndicesButton = QStringLiteral("IndicesURL");

// Blanks are the only thing the ticker trims: tabs and line feeds carry meaning.
QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

QString trimLeadingSpaces(const QString &text)
{
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == u' ')
        ++first;
    return text.mid(first);
}

// Everything after the first tab; the whole text when there is none.
QString afterFirstTab(const QString &line)
{
    const qsizetype tab = line.indexOf(u'\t');
    return tab < 0 ? line : line.mid(tab + 1);
}

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
    static const std::pair<const char16_t *, const char16_t *> rules[] = {
        {u"NAS/NMS COMPSITE", u"NASDAQ"},
        {u"DJ INDU AVERAGE", u"DJIA"},
        {u"COMPOSITE", u""},
        {u"COMPSITE", u""},
        {u"INDEX", u""},
        {u"IDX", u""},
    };
    QString shortened = name;
    for (const auto &[text, replacement] : rules) {
        const QString find = QString::fromUtf16(text);
        if (shortened.contains(find))
            return shortened.replace(find, QString::fromUtf16(replacement));
    }
    return shortened;
}

QString TickerFeed::takeTickerLine(QString &replyText, const std::function<void()> &pumpEvents)
{
    const auto pump = [&pumpEvents] {
        if (pumpEvents)
            pumpEvents();
    };

    // The quotes and bold marks go; the composite fields and the commas become tabs.
    static const std::pair<QString, QString> cleaning[] = {
        {QStringLiteral("\""), QString()},   {QStringLiteral("<b>"), QString()},
        {QStringLiteral("</b>"), QString()}, {QStringLiteral(" - "), kTab},
        {QStringLiteral(","), kTab},         {QStringLiteral("\r"), QString()},
    };
    for (const auto &[find, replacement] : cleaning)
        replyText = trimSpaces(replyText.replace(find, replacement));

    // The first complete line; an incomplete one waits for the rest of its text.
    QString line;
    const qsizetype lineFeed = replyText.indexOf(u'\n');
    if (lineFeed >= 0) {
        pump();
        line = trimLeadingSpaces(replyText.left(lineFeed + 1));
        replyText = trimLeadingSpaces(replyText.remove(trimSpaces(line)));
    }

    // Seven trailing fields are dropped.
    for (int n = 0; n < 7; ++n) {
        pump();
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0)
            line.truncate(tab);
    }

    // The name keeps its tab: it becomes the first gap of the line. The trade time after it
    // is dropped.
    const qsizetype firstTab = line.indexOf(u'\t');
    const QString name =
        shortenName(trimSpaces(firstTab < 0 ? QString() : line.left(firstTab + 1)));
    line = afterFirstTab(afterFirstTab(line));
    line = name + line;
    line.replace(kTab, QStringLiteral("      "));
    if (line.contains(QLatin1String("Volume")))
        line.chop(1);
    return line;
}

quint32 TickerFeed::lineColor(const QString &line)
{
    constexpr qsizetype from = 15; // the 16th character
    quint32 color = Unchanged;
    if (line.indexOf(u'-', from) >= 0)
        color = Falling;
    if (line.indexOf(u'+', from) >= 0)
        color = Rising;
    return color;
}

void TickerFeed::BuildTickerItem()
{
    QString &target = item(m_state.TickerIndex);
    target.clear();
    // Taken into a local first: the event pumping may let another download change ReplyText.
    const QString line = takeTickerLine(m_state.ReplyText, &TickerFeed::pumpEvents);
    item(m_state.TickerIndex) = line;
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

    qint32 holdTime = 0;
    if (m_options.ui->chkPauseScroll->isChecked()) {
        // A position beyond the list's few entries cannot exceed the control's 16-bit hold.
        const int position = qMax(0, m_options.ui->cboPauseScroll->currentIndex());
        holdTime = qMin((position + 1) * 1000, 32000);
    }
    const auto speed = qint16(qBound(-32768, m_options.ui->ScrollSlider->value(), 32767));

    if (!m_options.ui->chkScroll->isChecked()) {
        m_scroller.setVisible(false);
        for (int i = 0; i < ItemCount; ++i)
            item(i).clear();
    } else {
        m_scroller.setVisible(true);
        for (int i = 0; i < ItemCount && !m_stopping; ++i) {
            pumpEvents();
            // Read afresh: an index download nested in the pumping may have rebuilt it.
            const QString line = item(i);
            if (line.isEmpty() || m_stopping)
                continue;
            pumpEvents();
            const quint32 color = lineColor(line);
            m_scroller.setForeColor(color);
            m_scroller.doScroll(QStringLiteral(" ") + line, speed, holdTime, false);
            Q_EMIT lineScrolled(i, line, color);
            m_scroller.ps(LineInterval);
            pumpEvents();
        }
    }

    m_passRunning = false;
    // The next tick comes one interval after the pass, not at once.
    if (m_timScroll.isActive())
        m_timScroll.start();
    Q_EMIT passFinished();
}

void TickerFeed::Scroller1_DblClick()
{
    BrowserPanel::SetButtons(m_form);
    if (m_state.ActiveButton != kIndicesButton || !m_state.BrowserOpen) {
        m_navigate(m_state.IndicesURL);
        if (!m_state.BrowserOpen)
            m_toggleBrowserTray();
    } else {
        // The index page is showing: the same double-click closes the tray again.
        m_toggleBrowserTray();
    }
    m_state.ActiveButton = kIndicesButton;
    m_form.ui->gridQuotes->setFocus();
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
    FlexGrid &grid = *m_form.ui->gridQuotes;
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
