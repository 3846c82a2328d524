#pragma once

#include "grid/OptionsView.h"
#include "grid/QuotePanel.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

struct MainState;
class Transfer;
class Connectivity;
class QuoteGrid;

class QTimer;

// The ticker strip as the index download drives it; the main window's ticker implements it.
class IndexTicker
{
public:
    virtual ~IndexTicker() = default;
    // The strip's mouse pointer: the arrow with hourglass while the indices are fetched.
    virtual void setBusyPointer(bool busy) = 0;
    // Turns the front of ReplyText into the ticker line of index TickerIndex.
    virtual void BuildTickerItem() = 0;
};

// The market-index download that follows every quote download: one request per ticked
// index box, in box order, each reply turned into that index's ticker line. The ticker timer
// is stopped meanwhile so that no line scrolls while the lines are rebuilt.
class MarketIndices : public QObject
{
    Q_OBJECT
public:
    static constexpr int RequestTimeoutSeconds = 30;
    // Response codes above this are transfer errors.
    static constexpr int TransferErrorAbove = 35750;
    // A reply text shorter than this ends the download without restarting the ticker.
    static constexpr int MinimumReplyLength = 5;

    MarketIndices(MainState &state, QuotePanel &panel, const OptionsView &options,
                  Transfer &inetQuotes, Connectivity &connectivity, QuoteGrid &quoteGrid,
                  IndexTicker &ticker, QTimer &timScroll, std::function<void(qint32)> paintLamp,
                  QObject *parent = nullptr);

    // The root of the main pop-up menu, disabled while the indices are fetched.
    void setPopupMenu(QMenu *menu) { m_popupMenu = menu; }

    // Fetches the ticked indices. Does nothing when there is no connection, the Options
    // window is open or a transfer is still running. A run-time failure ends it silently.
    // False when the download failed (ended early or stopped by a transfer error): the lamp
    // was left red.
    bool GetMarketQuotes();

    // The request for index box i: MarketURL and the box's symbol, trimmed and lower-cased.
    QString requestAddress(int i) const;

private:
    // False when a transfer error stopped the requests.
    bool fetchIndices();
    void endEarly();
    void setPopupMenuEnabled(bool enabled);

    MainState &m_state;
    QuotePanel &m_panel;
    OptionsView m_options;
    Transfer &m_inetQuotes;
    Connectivity &m_connectivity;
    QuoteGrid &m_quoteGrid;
    IndexTicker &m_ticker;
    QTimer &m_timScroll;
    std::function<void(qint32)> m_paintLamp;
    QPointer<QMenu> m_popupMenu;
    bool m_endedEarly = false;
};
