#pragma once

#include "grid/AlertChecker.h"
#include "grid/ChangeHighlighter.h"
#include "grid/PortfolioValuer.h"
#include "grid/QuoteLog.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

struct MainState;
class frmStockMain;
class frmOptions;
class Transfer;
class Connectivity;
class QuoteGrid;
class QMenu;
class QWidget;

// The quote download: asks the quote service for one line per symbol of the loaded
// portfolio, cuts each line into the grid's thirteen columns, keeps the previous value of
// every field (MainState::CurrentQuotes / PreviousQuotes) and runs the follow-up steps of an
// update. It also reports transfer failures of inetQuotes in the "Stock Quote Server
// Error" box.
class QuoteDownload : public QObject
{
    Q_OBJECT
public:
    QuoteDownload(MainState &state, frmStockMain &form, frmOptions &options, Transfer &inetQuotes,
                  Connectivity &connectivity, QuoteGrid &quoteGrid,
                  std::function<void(qint32)> paintLamp, QObject *parent = nullptr);

    // The root of the main pop-up menu, hidden while a download runs.
    void setPopupMenu(QMenu *menu);

    // The market-index download that runs once the grid is filled.
    void setMarketQuotes(std::function<void()> getMarketQuotes)
    {
        m_getMarketQuotes = std::move(getMarketQuotes);
    }

    // One whole download. Does nothing but paint the lamp when there is no connection, the
    // Options window is open or a transfer is still running.
    void GetQuotes();
    // Fills the grid rows and the quote tables from ReplyText (the part of a download
    // between the answer and the follow-up steps).
    void fillRows();
    // Takes the next line off the front of ReplyText and leaves it cleaned in CurrentLine.
    void NextQuoteLine();

    // The request address for the current symbol list and mode.
    QString requestAddress() const;
    // The symbol list of the request: every non-empty symbol of gridSymbols in lower case,
    // each followed by a comma.
    QString symbolList() const;

    // A state change of inetQuotes: a failed transfer is reported in the server error box;
    // Retry downloads again once that transfer has ended, Cancel cancels it.
    void inetQuotes_StateChanged();

    // The "Vantora Critical Error" box shown when the service answers "Access Denied".
    static int showAccessDenied(QWidget *parent);
    static QString accessDeniedText();

    // The steps that show what moved, run by the download.
    ChangeHighlighter &changeHighlighter() { return m_changeHighlighter; }
    AlertChecker &alertChecker() { return m_alertChecker; }
    QuoteLog &quoteLog() { return m_quoteLog; }
    PortfolioValuer &portfolioValuer() { return m_portfolioValuer; }

private:
    void setPopupMenuVisible(bool visible);

    MainState &m_state;
    frmStockMain &m_form;
    frmOptions &m_options;
    Transfer &m_inetQuotes;
    Connectivity &m_connectivity;
    QuoteGrid &m_quoteGrid;
    std::function<void(qint32)> m_paintLamp;
    QPointer<QMenu> m_popupMenu;
    std::function<void()> m_getMarketQuotes;
    ChangeHighlighter m_changeHighlighter;
    AlertChecker m_alertChecker;
    QuoteLog m_quoteLog;
    PortfolioValuer m_portfolioValuer;
};
