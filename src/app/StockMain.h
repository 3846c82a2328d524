#pragma once

#include "common/MainState.h"

#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>

class frmStockMain;
class frmOptions;
class frmSplash;
class Transfer;
class SettingsIO;
class Portfolios;
class QuoteGrid;
class Connectivity;
class WindowModes;
class ScrollerHost;
class QuoteDownload;
class UpdateCycle;
class TickerFeed;
class OptionsWindow;
class QUrl;
class BrowserPanel;

// The main window's behaviour: its start-up sequence, exit, keep-on-top and the services
// the whole program shares. The window itself is frmStockMain; the Options window, which
// holds most settings in its controls, is created hidden with it and kept until exit.
class StockMain : public QObject
{
    Q_OBJECT
public:
    StockMain();
    ~StockMain() override;

    // Runs the start-up sequence. On a first run the window stays hidden and the update
    // timer off until the user agreement is accepted.
    void Form_Load();
    bool isLoaded() const { return m_loaded; }

    // Exit: cancels a running transfer, saves every setting and the window position, hangs
    // up when asked to, closes the windows and ends the program. playSound is false when
    // the desktop, not the user, closes Vantora.
    void cmdExit_Click();
    void exitProgram(bool playSound);
    // Another start of the program asked this one to show itself.
    void bringToFront();
    // The desktop session is ending: save everything, as Exit does, without quitting.
    void saveAll();
    // Lays the window out in the mode stored for CurrentPortfolio (with `onlyWhenChanged`,
    // only when it differs from the mode in force).
    void restoreWindowMode(bool onlyWhenChanged);

    // Removes the notification-area icon and ends the program.
    void Form_Unload();
    // Places the main window in or out of the top-most band, as chkKeepOnTop says.
    void KeepOnTop();
    // Switches the in-process quote feed to the source chosen in the Options window; a
    // feed that another Vantora runs keeps its own.
    void ApplyQuoteSource();
    // The folder of the system's programs, ending in a separator.
    static QString GetWindowsDir();
    // Scroller1's appearance saved with the window's design, in the control's property store.
    static QVariantMap scroller1Design();

    // The main window's zoom (StockMainZoom.cpp), the options model's Zoom: its layout,
    // fonts, pictures, the grid's columns and the ticker's font at `percent` (snapped to a
    // step). A change is stored at once.
    void setZoom(int percent);

    // Shows the main window after the agreement was accepted on a first run.
    void showAfterAgreement();

    MainState &state() { return m_state; }
    frmStockMain *form() const { return m_form.get(); }
    frmOptions *options() const { return m_options.get(); }
    Transfer &inetQuotes() { return *m_inetQuotes; }
    QTimer &timInterval() { return m_timInterval; }
    SettingsIO &settings() { return *m_settings; }
    QuoteGrid &quoteGrid() { return *m_quoteGrid; }
    Connectivity &connectivity() { return *m_connectivity; }
    ScrollerHost *scroller() const { return m_scroller.get(); }

    // The status lamp picLED, painted with a colour in blue-green-red order.
    void paintLamp(qint32 bgr);
    // The colour the lamp shows: its middle pixel as drawn, in blue-green-red order.
    qint32 lampColor() const;

    // Step 18 of start-up: the four default rows of an empty symbol list.
    void addDefaultSymbols();

    // A quote download now (StockMainQuotes.cpp); a failure is reported, not thrown.
    // Nothing happens while an update runs.
    void GetQuotes();
    // A download the user asked for: now, or right after the running update.
    void requestQuotes();
    QuoteDownload &quoteDownload();
    UpdateCycle &updateCycle();

    // The market-index download (StockMainTicker.cpp); it fails silently. The quote download
    // runs it when it has finished.
    bool GetMarketQuotes();
    TickerFeed &tickerFeed();
    // The Options window's behaviour (StockMainOptions.cpp).
    OptionsWindow &optionsWindow();
    WindowModes &windowModes() { return *m_windowModes; }
    // The browser panel and its embedded browser (StockMainBrowser.cpp).
    BrowserPanel &browserPanel();
    // The ticker timer (25 ms); each tick runs one pass over the ticker lines.
    QTimer &timScroll() { return m_timScroll; }

Q_SIGNALS:
    // The program has saved what it had to and is ending.
    void exiting();
    // OK or Add in the Options window asks for a quote download now (there is a connection).
    void quoteUpdateRequested();

    // The concern wiring below are ordinary member functions, not signals: declared among
    // the signals, moc would define them and the concern's own definition would be dropped.
private:
    // ---- concerns wired into the main window, each in its own StockMain<Concern>.cpp ----
    // Quote download, grid actions and the update cycle (StockMainQuotes.cpp).
    void wireQuotes();
    // The Options window's behaviour and the portfolios (StockMainOptions.cpp).
    void wireOptions();
    // The market-index download and the ticker (StockMainTicker.cpp).
    void wireTicker();
    // The window's modes, widths and furniture, and the pop-up menu (StockMainWindow.cpp).
    void wireWindow();
    // The browser panel, its tray and the embedded browser (StockMainBrowser.cpp).
    void wireBrowser();
    // The zoom's keys, and the zoom applied when the model's value changes
    // (StockMainZoom.cpp).
    void wireZoom();
    void applyZoom(int percent);
    // Step 1a of the connection check: the home page, or Vantora's start page, and
    // opening it in the panel browser (StockMainBrowser.cpp).
    QString startPageAddress() const;
    void openStartPage(const QString &address);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CheckConnection();
    void startBuiltInFeed();
    void placeWindow();

    MainState m_state;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<frmStockMain> m_form;
    std::unique_ptr<Transfer> m_inetQuotes;
    std::unique_ptr<SettingsIO> m_settings;
    std::unique_ptr<Portfolios> m_portfolios;
    std::unique_ptr<QuoteGrid> m_quoteGrid;
    std::unique_ptr<Connectivity> m_connectivity;
    std::unique_ptr<WindowModes> m_windowModes;
    std::unique_ptr<ScrollerHost> m_scroller;
    // Concern objects of the quote download and update cycle (owned by StockMainQuotes.cpp).
    std::shared_ptr<void> m_quotesConcern;
    // Concern objects of the Options window and portfolios (owned by StockMainOptions.cpp).
    std::shared_ptr<void> m_optionsConcern;
    // Concern objects of the index download and the ticker (owned by StockMainTicker.cpp).
    std::shared_ptr<void> m_tickerConcern;
    // The pop-up menu and the window's furniture (owned by StockMainWindow.cpp).
    std::shared_ptr<void> m_windowConcern;
    // The browser panel (owned by StockMainBrowser.cpp).
    std::shared_ptr<void> m_browserConcern;
    QTimer m_timInterval;
    QTimer m_timScroll;
    bool m_loaded = false;
    bool m_settingsLoaded = false;
    bool m_exiting = false;
};
