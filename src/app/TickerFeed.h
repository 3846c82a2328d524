#pragma once

#include "quotes/MarketIndices.h"
#include "window/TickerLine.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

struct MainState;
class frmStockMain;
class frmOptions;
class ScrollerHost;
class QuoteGrid;

class QTimer;

// The ticker strip's feed: one line per market index (MainState::TickerItems, slot i for the
// index box chkIndex(i)), built from the index replies and run through Scroller1 one after
// the other, coloured by the sign of the change. Also the strip's mouse actions and the
// printed "Vantora Ticker Readout" of the quote grid.
class TickerFeed : public QObject, public IndexTicker
{
    Q_OBJECT
public:
    static constexpr int ItemCount = 43;
    // Each line's pass is given at least this long before the next one starts (unless
    // VANTORA_TEST_LINE_MS says otherwise, for soak tests).
    static constexpr qint32 LineInterval = 2000;
    // Line colours, 0x00BBGGRR.
    static constexpr quint32 Unchanged = TickerLine::Unchanged;
    static constexpr quint32 Falling = TickerLine::Falling;
    static constexpr quint32 Rising = TickerLine::Rising;
    // The ticker timer's interval, and its interval while lines scroll or while there is
    // nothing to show (its ticks would do nothing then).
    static constexpr int TickInterval = 25;
    static constexpr int HeldBackInterval = 60000;
    // Scroller1's mouse pointers: the default one and the arrow with hourglass.
    static constexpr qint16 PointerDefault = 0;
    static constexpr qint16 PointerArrowHourglass = 13;

    TickerFeed(MainState &state, frmStockMain &form, frmOptions &options, ScrollerHost &scroller,
               QuoteGrid &quoteGrid, QTimer &timScroll, QObject *parent = nullptr);
    ~TickerFeed() override;

    // Takes the first complete line off the front of replyText and turns it into a ticker
    // line: the shortened index name, then the fields from the third on that survive the
    // dropping of the seven last ones, all separated by six spaces. Without a line feed in
    // replyText the result is "" and replyText stays (cleaned) for the next reply to join.
    // pumpEvents runs where the ticker lets pending window events through.
    static QString takeTickerLine(QString &replyText,
                                  const std::function<void()> &pumpEvents = nullptr);
    // The shortened name of an index: the first matching rule, every occurrence.
    static QString shortenName(const QString &name);
    // The colour a line scrolls in: the sign of the change, looked for from its 16th
    // character on; "+" wins over "-".
    static quint32 lineColor(const QString &line);

    // TickerItems(TickerIndex) from the front of ReplyText.
    void BuildTickerItem() override;
    void setBusyPointer(bool busy) override;

    // One pass over the lines (a tick of timScroll). A tick that comes while a pass is still
    // running (from the event pumping inside it) does nothing.
    void timScroll_Timer();
    bool passRunning() const { return m_passRunning; }
    // Ends a running pass after the line on the strip; the program is closing.
    void stop();
    // The ticker was switched on or off in the Options window: the strip shows or hides at
    // once, and a running pass ends after its line. Speed and pause are read line by line.
    void chkScroll_Changed();
    // A line was built or the ticker switched: an idle timer ticks again every 25 ms.
    void wake();

    // The strip's events.
    void Scroller1_DblClick();
    void Scroller1_MouseDown(short button, short shift, float x, float y);
    void Scroller1_MouseMove(short button, short shift, float x, float y);

    // Prints the quote grid black on white under the heading "Vantora Ticker Readout".
    // The grid's colours are the same afterwards, also when the dialog is cancelled or the
    // printer fails.
    void cmdPrintTicker_Click();

    // The pop-up menu that a right-click on the strip opens.
    void setPopupMenu(QMenu *menu) { m_popupMenu = menu; }
    QMenu *popupMenu() const { return m_popupMenu; }

    // The index page is shown by navigate(address); toggleBrowserTray opens or closes the
    // browser tray. Until the browser panel provides them, the index page opens in the
    // system's browser and the tray is only the BrowserOpen state.
    void setNavigate(std::function<void(const QString &)> navigate);
    void setToggleBrowserTray(std::function<void()> toggle);

    ScrollerHost &scroller() { return m_scroller; }

Q_SIGNALS:
    // A line was handed to the strip in the given colour (0x00BBGGRR).
    void lineScrolled(int index, const QString &text, quint32 color);
    // A pass over the lines has ended.
    void passFinished();

private:
    QString &item(int index);
    qint32 holdTime() const;
    static void pumpEvents();

    MainState &m_state;
    frmStockMain &m_form;
    frmOptions &m_options;
    ScrollerHost &m_scroller;
    QuoteGrid &m_quoteGrid;
    QTimer &m_timScroll;
    QPointer<QMenu> m_popupMenu;
    std::function<void(const QString &)> m_navigate;
    std::function<void()> m_toggleBrowserTray;
    qint32 m_lineInterval = LineInterval;
    bool m_passRunning = false;
    bool m_idle = false;
    bool m_stopping = false;
};
