#include "QuoteDownload.h"

#include "QuoteParser.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "common/Symbols.h"
#include "feed/FeedConfig.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "platform/Platform.h"
#include "screen/Colors.h"

#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "grid/QuotePanel.h"
#include "settings/OptionsModel.h"
#include <QCheckBox>
#include <QLabel>
#include <optional>

namespace {

constexpr int kRequestTimeoutSeconds = 900;
constexpr int kTransferErrorAbove = 35750;

} // namespace

QuoteDownload::QuoteDownload(MainState &state, QuotePanel &panel, const OptionsView &options,
                             Transfer &inetQuotes, Connectivity &connectivity, QuoteGrid &quoteGrid,
                             std::function<void(qint32)> paintLamp, QObject *parent)
    : QObject(parent), m_state(state), m_panel(panel), m_options(options), m_inetQuotes(inetQuotes),
      m_connectivity(connectivity), m_quoteGrid(quoteGrid), m_paintLamp(std::move(paintLamp)),
      m_changeHighlighter(state, *panel.gridQuotes()),
      m_alertChecker(options, *panel.gridQuotes(), panel.dialogParent()),
      m_quoteLog(state, panel, options), m_portfolioValuer(*panel.gridQuotes(), options)
{
    connect(&m_inetQuotes, &Transfer::StateChanged, this, [this] { inetQuotes_StateChanged(); });
}

QuoteDownload::RequestList QuoteDownload::requestList() const
{
    const FlexGrid &symbols = *m_options.gridSymbols;
    RequestList list;
    list.portfolio = m_state.CurrentPortfolio;
    for (int r = 1; r < symbols.rows(); ++r) {
        // A row whose symbol cannot be asked for (kept from a hand-edited store) is shown
        // but left out of the request, so that no answer line lands on the wrong row.
        const QString symbol = Symbols::clean(symbols.textMatrix(r, 0)).toLower();
        if (symbol.isEmpty() || !Symbols::isRequestable(symbol))
            continue;
        list.rows.append(r);
        list.symbols.append(symbol);
    }
    return list;
}

QString QuoteDownload::symbolList(const RequestList &list)
{
    QString text;
    for (const QString &symbol : list.symbols)
        text += symbol + u',';
    return text;
}

QString QuoteDownload::requestAddress(const RequestList &list) const
{
    const QString base =
        m_state.RealTimeMode ? FeedConfig::realTimeStockUrl() : m_options.model->StockURL.value();
    return base + symbolList(list);
}

void QuoteDownload::setPopupMenuVisible(bool visible)
{
    if (m_popupMenu)
        m_popupMenu->menuAction()->setVisible(visible);
}

void QuoteDownload::NextQuoteLine()
{
    m_state.CurrentLine = QuoteParser::nextQuoteLine(m_state.ReplyText);
}

QString QuoteDownload::delayNoticeText()
{
    return QStringLiteral("Quotes are delayed 20 minutes");
}

QString QuoteDownload::accessDeniedText()
{
    return QStringLiteral("Access Denied error from server!\r\n"
                          "If you are accessing the Internet through a proxy server please make "
                          "sure your proxy settings in Options are correct. If you are not using "
                          "a proxy server then be sure to uncheck the \"Use Proxy Server\" "
                          "checkbox in Options.\r\n"
                          "If you change your proxy settings you must close and restart Vantora.");
}

int QuoteDownload::showAccessDenied(QWidget *parent)
{
    return Platform::instance().messageBox->show(
        parent, QStringLiteral("Vantora Critical Error"), accessDeniedText(),
        MessageBoxService::Icon::Critical, QMessageBox::Ok);
}

void QuoteDownload::requestUpdate()
{
    if (m_closed)
        return;
    if (m_updating) {
        m_pending = true;
        return;
    }
    GetQuotes();
}

void QuoteDownload::optionsClosed()
{
    if (!m_deferredByOptions)
        return;
    m_deferredByOptions = false;
    QTimer::singleShot(0, this, [this] { requestUpdate(); });
}

void QuoteDownload::shutdown()
{
    m_closed = true;
    m_pending = false;
}

void QuoteDownload::updateEnded()
{
    m_updating = false;
    if (m_pending && !m_closed) {
        // Once, and only after the running update has unwound.
        m_pending = false;
        QTimer::singleShot(0, this, [this] { GetQuotes(); });
    }
}

void QuoteDownload::endEarly()
{
    FlexGrid &grid = *m_panel.gridQuotes();
    grid.unsetCursor();
    grid.setVisible(true);
    grid.setRedraw(true);
    setPopupMenuVisible(true);
    if (m_popupMenu) {
        m_popupMenu->setEnabled(true);
        m_popupMenu->menuAction()->setEnabled(true);
    }
    m_paintLamp(Colors::LampOffline);
}

void QuoteDownload::GetQuotes()
{
    // One update at a time: whatever asks while one runs (a tick, a click in a modal box's
    // wait) starts nothing and touches none of the shared reply state.
    if (m_updating || m_closed)
        return;
    FlexGrid &grid = *m_panel.gridQuotes();

    // 1-2. The gate: a connection, the Options window closed, no transfer running. A proxy
    // chosen in Options lets the download through without a detected connection: the
    // proxy may well reach what this machine cannot see.
    m_paintLamp(Colors::LampBusy);
    const bool connected =
        m_connectivity.ActiveConnection() || m_options.model->UseProxyServer.value();
    if (m_options.window->isVisible()) {
        // Remembered, and run as soon as the window closes (a symbol just added shows its
        // quote without waiting for the next tick).
        m_deferredByOptions = true;
        return;
    }
    if (m_inetQuotes.StillExecuting() || !connected)
        return;

    m_updating = true;
    struct Scope
    {
        QuoteDownload *self;
        ~Scope() { self->updateEnded(); }
    } scope{this};

    // 3-7. The request.
    grid.setCursor(Qt::BusyCursor);
    grid.setVisible(true);
    if (m_state.SymbolsChanged)
        grid.setRedraw(true);
    m_inetQuotes.setRequestTimeout(kRequestTimeoutSeconds);
    setPopupMenuVisible(false);
    m_panel.setDelayNotice(m_state.RealTimeMode ? QString() : delayNoticeText());
    const RequestList list = requestList();
    const QString address = requestAddress(list);
    m_paintLamp(Colors::LampBusy);

    // 8-11. The answer. A failed transfer was reported by its state change; the grid
    // keeps its values until a later download gets through.
    m_state.ReplyText = m_inetQuotes.OpenURL(address);
    if (m_closed) {
        m_state.ReplyText.clear();
        return; // the program is ending
    }
    if (m_inetQuotes.ResponseCode() > kTransferErrorAbove) {
        m_state.ReplyText.clear();
        endEarly();
        return;
    }
    if (requestList() != list) {
        // The symbol list or the portfolio changed while the answer was on its way: it
        // belongs to rows that no longer hold those symbols. Drop it and ask again.
        m_state.ReplyText.clear();
        endEarly();
        m_pending = true;
        return;
    }
    if (m_state.ReplyText.contains(QLatin1String("Access Denied"), Qt::CaseInsensitive)) {
        showAccessDenied(m_panel.dialogParent());
        m_state.ReplyText.clear();
    }
    // A web page or binary data served in place of the answer is not parsed into rows.
    if (m_state.ReplyText.size() < 2 ||
        !QuoteParser::isQuoteText(m_state.ReplyText, m_inetQuotes.contentType())) {
        m_state.ReplyText.clear();
        endEarly();
        return;
    }

    m_sourceFailureShown = false; // the source answered: a later failure is told again
    {
        // The rows, their order and their change colours reach the grid's views as one
        // change, told once the download has written them all.
        FlexGrid::CellUpdate download(grid);
        fillRows(list);

        // 14-16. The grid is shown again before the alerts, so that no alert sound or box
        // plays over a hidden grid.
        m_state.ReplyText.clear();
        grid.setVisible(false);
        grid.setRedraw(false);
        m_panel.showPortfolio(m_portfolioValuer.CalcPortfolio());
        m_quoteGrid.AutoSort();
        m_changeHighlighter.HighlightChanges();
        m_quoteGrid.clearAlertColors();
    }
    grid.setVisible(true);
    grid.setRedraw(true);
    m_alertChecker.CheckAlerts();
    grid.setVisible(true);
    grid.setRedraw(true);
    m_state.SymbolsChanged = false;
    grid.unsetCursor();

    // 17. The market indices. When they failed, the lamp stays as they left it (red).
    const bool indicesDone = !m_getMarketQuotes || m_getMarketQuotes();
    if (m_closed)
        return;

    // 18-20.
    setPopupMenuVisible(true);
    if (m_state.SelectedRow == 0)
        m_state.SelectedRow = 1;
    grid.setCol(0);
    if (grid.rows() > 1)
        grid.setRow(m_state.SelectedRow);
    if (indicesDone)
        m_paintLamp(Colors::LampDone);
    grid.setRedraw(true);
    m_quoteGrid.RowColors();
    m_quoteGrid.showGrid();
}

void QuoteDownload::fillRows(const RequestList &list)
{
    // One answer line per requested symbol row, written into the grid row of the same
    // position.
    FlexGrid &grid = *m_panel.gridQuotes();
    FlexGrid &symbols = *m_options.gridSymbols;
    grid.setRows(symbols.rows());
    grid.setCol(0);
    grid.setVisible(false);
    grid.setRedraw(false);
    const qint64 loggedKey = ImageList::instance().image(ImageList::BoxTicked).cacheKey();
    carryQuotesToRows(list);
    int lastFilled = 0;
    std::optional<FlexGrid::CellUpdate> cellUpdate(std::in_place, grid);
    // The answer is read once; nothing here lets other work change it meanwhile.
    QuoteParser::LineReader lines(m_state.ReplyText);
    for (qsizetype i = 0; i < list.rows.size(); ++i) {
        const int r = list.rows[i];
        if (r >= symbols.rows())
            break;
        m_state.CurrentLine = lines.next();
        const QuoteParser::QuoteColumns fields = QuoteParser::splitColumns(m_state.CurrentLine);
        const bool inTables = r <= MainState::MaxQuoteRows;
        const QString shown = r < grid.rows() ? grid.textMatrix(r, 0).trimmed() : QString();
        if (!shown.isEmpty() && shown.compare(list.symbols[i], Qt::CaseInsensitive) != 0) {
            // The cells held another stock: its rise and fall colours are not this one's.
            for (int c = 0; c < QuoteParser::ColumnCount; ++c) {
                if (ChangeHighlighter::isColoredColumn(c))
                    grid.setCellForeColor(r, c, Colors::fromBgr(m_state.GridTextColor));
            }
        }
        for (int c = 0; c < QuoteParser::ColumnCount; ++c) {
            const QString &field = fields[c];
            if (inTables) {
                m_state.PreviousQuotes[r][c] = std::move(m_state.CurrentQuotes[r][c]);
                m_state.CurrentQuotes[r][c] = field;
            }
            if (c == 0)
                m_state.RowSymbol = field;
            if (c == 4 && inTables) {
                m_state.QuoteChanged =
                    Val(m_state.CurrentQuotes[r][4]) != Val(m_state.PreviousQuotes[r][4]);
                if (m_options.model->QuoteLogging.value() && m_state.QuoteChanged &&
                    symbols.cellPicture(r, 4).cacheKey() == loggedKey)
                    m_quoteLog.LogQuote();
            }
            if (r < grid.rows()) {
                m_changeHighlighter.ColorChangedCell(r, c);
                grid.setTextMatrix(r, c, c == 7 ? FormatIfNumeric(field, u"###,###,###") : field);
                lastFilled = r;
            }
        }
    }
    lines.finish();
    cellUpdate.reset();
    // The cells are written without moving the current cell, which would notify the
    // selection model and the views cell by cell; it ends on the last cell written.
    if (lastFilled > 0) {
        grid.setRow(lastFilled);
        grid.setCol(QuoteParser::ColumnCount - 1);
    }
}

void QuoteDownload::carryQuotesToRows(const RequestList &list)
{
    // The rows of the list may have been removed, moved or refilled since the last download;
    // each symbol takes its own last quote along, so that it is compared with its own price.
    // A symbol that had none starts afresh, as after start-up.
    const MainState::QuoteTable before = m_state.CurrentQuotes;
    const RowSymbols symbolsBefore = m_rowSymbols;
    m_rowSymbols = {};
    for (qsizetype i = 0; i < list.rows.size(); ++i) {
        const int r = list.rows[i];
        if (r > MainState::MaxQuoteRows)
            break;
        const QString &symbol = list.symbols[i];
        int from = symbolsBefore[size_t(r)] == symbol ? r : -1;
        for (int o = 1; from < 0 && o <= MainState::MaxQuoteRows; ++o) {
            if (symbolsBefore[size_t(o)] == symbol)
                from = o;
        }
        m_state.CurrentQuotes[size_t(r)] =
            from >= 0 ? before[size_t(from)] : MainState::QuoteTable::value_type{};
        m_rowSymbols[size_t(r)] = symbol;
    }
}

void QuoteDownload::inetQuotes_StateChanged()
{
    const int code = m_inetQuotes.ResponseCode();
    if (code <= kTransferErrorAbove)
        return;
    // A transfer cancelled on purpose (Exit, the box's own Cancel) is no server error.
    if (code == Transfer::ErrorCancelled || m_closed)
        return;
    // A quote source that keeps failing (the feed's live source refusing, rate-limited or
    // down: 502 and 503 with the source's reason) is told once, not at every update,
    // until a download gets through again.
    const int status = code == Transfer::ErrorHttpStatus ? m_inetQuotes.httpStatus() : 0;
    if (status == 502 || status == 503) {
        if (m_sourceFailureShown)
            return;
        m_sourceFailureShown = true;
    }
    const QString text =
        m_inetQuotes.ResponseInfo() + QStringLiteral("\r\nError Number ") + QString::number(code);
    const int answer = Platform::instance().messageBox->show(
        m_panel.dialogParent(), QStringLiteral("Stock Quote Server Error"), text,
        MessageBoxService::Icon::Warning, QMessageBox::Retry | QMessageBox::Cancel);
    if (answer == QMessageBox::Retry) {
        // The failed transfer is still marked as running while its state change is
        // reported, inside the running update; the new download starts once it has ended.
        if (m_updating)
            m_pending = true;
        else
            QTimer::singleShot(0, this, [this] { requestUpdate(); });
    } else {
        m_inetQuotes.Cancel();
    }
}

void QuoteDownload::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}
