#pragma once

#include "common/MainState.h"
#include "grid/OptionsView.h"
#include "grid/QuotePanel.h"

#include "grid/AlertChecker.h"
#include "grid/ChangeHighlighter.h"
#include "grid/PortfolioValuer.h"
#include "grid/QuoteLog.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>

struct MainState;
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
    QuoteDownload(MainState &state, QuotePanel &panel, const OptionsView &options,
                  Transfer &inetQuotes, Connectivity &connectivity, QuoteGrid &quoteGrid,
                  std::function<void(qint32)> paintLamp, QObject *parent = nullptr);

    // The root of the main pop-up menu, hidden while a download runs.
    void setPopupMenu(QMenu *menu);

    // The market-index download that runs once the grid is filled; it answers false when it
    // failed, and the lamp then stays red.
    void setMarketQuotes(std::function<bool()> getMarketQuotes)
    {
        m_getMarketQuotes = std::move(getMarketQuotes);
    }

    // One whole update: the quotes, then the market indices. Does nothing but paint the
    // lamp when there is no connection, the Options window is open or a transfer is still
    // running, and nothing at all while an update runs (the update timer's tick).
    void GetQuotes();
    // An update asked for by the user (Update, Options OK, Add, Retry): runs now, or, while
    // an update runs, once right after it has ended.
    void requestUpdate();
    // The Options window has closed: a download asked for while it was open (and so
    // refused at the gate) runs now.
    void optionsClosed();
    // True from the gate of GetQuotes to the end of the index download.
    bool updating() const { return m_updating; }
    bool updatePending() const { return m_pending; }
    // The program is ending: nothing starts any more.
    void shutdown();

    // The rows of gridSymbols that a request asks for (each row's symbol non-empty after
    // trimming), in order, with the portfolio they belong to. The request is built from it
    // and the answer's lines are assigned to exactly these rows.
    struct RequestList
    {
        QString portfolio;
        QList<int> rows;
        QStringList symbols; // trimmed, lower case
        bool operator==(const RequestList &) const = default;
    };
    RequestList requestList() const;

    // Fills the grid rows and the quote tables from ReplyText (the part of a download
    // between the answer and the follow-up steps), one answer line per listed row.
    void fillRows(const RequestList &list);
    void fillRows() { fillRows(requestList()); }
    // Takes the next line off the front of ReplyText and leaves it cleaned in CurrentLine.
    void NextQuoteLine();

    // The request address for the current symbol list and mode.
    QString requestAddress() const { return requestAddress(requestList()); }
    QString requestAddress(const RequestList &list) const;
    // The symbol list of the request: every non-empty symbol of gridSymbols in lower case,
    // each followed by a comma.
    QString symbolList() const { return symbolList(requestList()); }
    static QString symbolList(const RequestList &list);

    // A state change of inetQuotes: a failed transfer is reported in the server error box;
    // Retry downloads again once that transfer has ended, Cancel cancels it.
    void inetQuotes_StateChanged();

    // The "Vantora Critical Error" box shown when the service answers "Access Denied".
    static int showAccessDenied(QWidget *parent);
    static QString accessDeniedText();
    // The notice shown beside the lamp while quotes are delayed.
    static QString delayNoticeText();

    // The steps that show what moved, run by the download.
    ChangeHighlighter &changeHighlighter() { return m_changeHighlighter; }
    AlertChecker &alertChecker() { return m_alertChecker; }
    QuoteLog &quoteLog() { return m_quoteLog; }
    PortfolioValuer &portfolioValuer() { return m_portfolioValuer; }

private:
    void setPopupMenuVisible(bool visible);
    // A download that ended before the grid was filled leaves the window usable: normal
    // pointer, the pop-up menu back, the lamp red.
    void endEarly();
    void updateEnded();
    // Before the rows are filled: each requested symbol's last quote moves to its row now.
    void carryQuotesToRows(const RequestList &list);

    MainState &m_state;
    QuotePanel &m_panel;
    OptionsView m_options;
    Transfer &m_inetQuotes;
    Connectivity &m_connectivity;
    QuoteGrid &m_quoteGrid;
    std::function<void(qint32)> m_paintLamp;
    QPointer<QMenu> m_popupMenu;
    std::function<bool()> m_getMarketQuotes;
    ChangeHighlighter m_changeHighlighter;
    AlertChecker m_alertChecker;
    QuoteLog m_quoteLog;
    PortfolioValuer m_portfolioValuer;
    bool m_updating = false;
    bool m_pending = false;
    bool m_deferredByOptions = false;
    bool m_sourceFailureShown = false;
    // The symbol each row of the tables was last filled for.
    using RowSymbols = std::array<QString, MainState::MaxQuoteRows + 1>;
    RowSymbols m_rowSymbols;
    bool m_closed = false;
};
