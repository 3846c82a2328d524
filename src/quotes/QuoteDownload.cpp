#include "QuoteDownload.h"

#include "QuoteParser.h"
#include "app/MainState.h"
#include "app/frmStockMain.h"
#include "common/Colors.h"
#include "common/Numbers.h"
#include "feed/FeedConfig.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "ui_frmOptions.h"
#include "ui_frmStockMain.h"
#include "window/ImageList.h"

#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <optional>

namespace {

constexpr int kRequestTimeoutSeconds = 900;
constexpr int kTransferErrorAbove = 35750;

} // namespace

QuoteDownload::QuoteDownload(MainState &state, frmStockMain &form, frmOptions &options,
                             Transfer &inetQuotes, Connectivity &connectivity, QuoteGrid &quoteGrid,
                             std::function<void(qint32)> paintLamp, QObject *parent)
    : QObject(parent), m_state(state), m_form(form), m_options(options), m_inetQuotes(inetQuotes),
      m_connectivity(connectivity), m_quoteGrid(quoteGrid), m_paintLamp(std::move(paintLamp)),
      m_changeHighlighter(state, *form.ui->gridQuotes),
      m_alertChecker(options, *form.ui->gridQuotes, &form), m_quoteLog(state, form, options),
      m_portfolioValuer(form, options)
{
    connect(&m_inetQuotes, &Transfer::StateChanged, this, [this] { inetQuotes_StateChanged(); });
}

QString QuoteDownload::symbolList() const
{
    const FlexGrid &symbols = *m_options.ui->gridSymbols;
    QString list;
    for (int r = 1; r < symbols.rows(); ++r) {
        const QString symbol = QuoteParser::trimSpaces(symbols.textMatrix(r, 0)).toLower();
        if (!symbol.isEmpty())
            list += symbol + u',';
    }
    return list;
}

QString QuoteDownload::requestAddress() const
{
    const QString base = m_state.RealTimeMode ? FeedConfig::realTimeStockUrl() : m_state.StockURL;
    return base + symbolList();
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

void QuoteDownload::GetQuotes()
{
    FlexGrid &grid = *m_form.ui->gridQuotes;

    // 1-2. The gate: a connection, the Options window closed, no transfer running.
    m_paintLamp(Colors::LampBusy);
    const bool connected = m_connectivity.ActiveConnection();
    if (m_inetQuotes.StillExecuting() || m_options.isVisible() || !connected)
        return;

    // 3-7. The request.
    grid.setCursor(Qt::BusyCursor);
    grid.setVisible(true);
    if (m_state.SymbolsChanged)
        grid.setRedraw(true);
    m_inetQuotes.setRequestTimeout(kRequestTimeoutSeconds);
    setPopupMenuVisible(false);
    m_form.ui->lblDelayNotice->setText(
        m_state.RealTimeMode ? QString() : QStringLiteral("Quotes are delayed 20 minutes"));
    const QString address = requestAddress();
    m_paintLamp(Colors::LampBusy);

    // 8-11. The answer. A failed transfer was reported by its state change; the grid
    // keeps its values until a later download gets through.
    m_state.ReplyText = m_inetQuotes.OpenURL(address);
    if (m_inetQuotes.ResponseCode() > kTransferErrorAbove)
        return;
    if (m_state.ReplyText.contains(QLatin1String("Access Denied"), Qt::CaseInsensitive)) {
        showAccessDenied(&m_form);
        m_state.ReplyText.clear();
    }
    if (m_state.ReplyText.size() < 2)
        return;

    fillRows();

    // 14-16.
    m_state.ReplyText.clear();
    grid.setVisible(false);
    grid.setRedraw(false);
    m_portfolioValuer.CalcPortfolio();
    m_quoteGrid.AutoSort();
    m_changeHighlighter.HighlightChanges();
    m_alertChecker.CheckAlerts();
    grid.setVisible(true);
    grid.setRedraw(true);
    m_state.SymbolsChanged = false;
    grid.unsetCursor();

    // 17. The market indices.
    if (m_getMarketQuotes)
        m_getMarketQuotes();

    // 18-20.
    setPopupMenuVisible(true);
    if (m_state.SelectedRow == 0)
        m_state.SelectedRow = 1;
    grid.setCol(0);
    if (grid.rows() > 1)
        grid.setRow(m_state.SelectedRow);
    m_paintLamp(Colors::LampDone);
    grid.setRedraw(true);
    m_quoteGrid.RowColors();
    m_quoteGrid.showGrid();
}

void QuoteDownload::fillRows()
{
    // One answer line per non-empty symbol row, written into the grid row of the same
    // position.
    FlexGrid &grid = *m_form.ui->gridQuotes;
    FlexGrid &symbols = *m_options.ui->gridSymbols;
    grid.setRows(symbols.rows());
    grid.setCol(0);
    grid.setVisible(false);
    grid.setRedraw(false);
    const qint64 loggedKey = ImageList::instance().image(ImageList::BoxTicked).cacheKey();
    int lastFilled = 0;
    std::optional<FlexGrid::CellUpdate> cellUpdate(std::in_place, grid);
    for (int r = 1; r < symbols.rows(); ++r) {
        if (symbols.textMatrix(r, 0).isEmpty())
            continue;
        NextQuoteLine();
        const QuoteParser::QuoteColumns fields = QuoteParser::splitColumns(m_state.CurrentLine);
        const bool inTables = r <= MainState::MaxQuoteRows;
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
                if (m_options.ui->chkLogging->isChecked() && m_state.QuoteChanged &&
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
    cellUpdate.reset();
    // The cells are written without moving the current cell, which would notify the
    // selection model and the views cell by cell; it ends on the last cell written.
    if (lastFilled > 0) {
        grid.setRow(lastFilled);
        grid.setCol(QuoteParser::ColumnCount - 1);
    }
}

void QuoteDownload::inetQuotes_StateChanged()
{
    const int code = m_inetQuotes.ResponseCode();
    if (code <= kTransferErrorAbove)
        return;
    const QString text =
        m_inetQuotes.ResponseInfo() + QStringLiteral("\r\nError Number ") + QString::number(code);
    const int answer = Platform::instance().messageBox->show(
        &m_form, QStringLiteral("Stock Quote Server Error"), text, MessageBoxService::Icon::Warning,
        QMessageBox::Retry | QMessageBox::Cancel);
    if (answer == QMessageBox::Retry) {
        // The failed transfer is still marked as running while its state change is
        // reported; the new download starts once it has ended.
        QTimer::singleShot(0, this, [this] { GetQuotes(); });
    } else {
        m_inetQuotes.Cancel();
    }
}

void QuoteDownload::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}
