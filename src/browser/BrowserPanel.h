#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class frmStockMain;
class frmOptions;
class LinkButton;
class QComboBox;
class QLineEdit;
class QTimer;
class QWidget;
class WebBrowser;
struct MainState;

// The browser panel of the main window: the panel buttons and their frames, the browser
// tray that slides open below the window, the embedded browser WebBrowser1 with its
// navigation buttons and status text, and Submit, which turns the visible frame and its
// selections into an address.
//
// The browser (and with it the web engine) is created when a page is first to be seen: on
// a navigation the user asks for, or when the tray opens with a page waiting. Until then it
// is not busy, its address is the page waiting to be shown, and the navigation buttons do
// nothing.
class BrowserPanel : public QObject
{
    Q_OBJECT
public:
    // The tray opens and closes in steps of this many twips.
    static constexpr int TrayStep = 500;
    // Page titles longer than this are cut to it and "..." is appended.
    static constexpr int TitleLength = 29;

    BrowserPanel(MainState &state, frmStockMain &main, frmOptions &options, QTimer &timInterval,
                 QObject *parent = nullptr);
    ~BrowserPanel() override;

    // Resets the panel: standard tool tips and colours of the panel buttons, every query
    // frame and the Submit button hidden.
    static void SetButtons(frmStockMain &main);

    // Opens the tray when it is closed, closes it when it is open. A minimized or maximized
    // window, or the ticker layout, only hides and shows the browser.
    void ToggleBrowserTray();

    // The panel buttons: a second click on the same button closes the tray, a click on
    // another only switches the frame.
    void cmdHome_Click();
    void cmdCharts_Click();
    void cmdNews_Click();
    void cmdInquiry_Click();
    void cmdScreener_Click();
    void cmdBTV_Click();
    // The sub-panels of Inquiry; they never open or close the tray.
    void cmdLookup_Click();
    void cmdResearch_Click();
    void cmdIPO_Click();
    void cmdRadio_Click();
    void picIslandButton_Click();
    // A list of a frame or a text box was used: its frame is shown again with Submit.
    void reShowList(QComboBox *list);
    void reShowText(QLineEdit *text);

    void cmdBack_Click();
    void cmdForward_Click();
    void cmdStop_Click();
    void cmdRefresh_Click();
    void WebBrowser1_DownloadBegin();
    void WebBrowser1_DownloadComplete();

    // Builds the address of the visible frame and opens it; a second Submit closes the
    // tray. Remembers the chosen sources in the loaded portfolio's settings.
    void cmdSubmit_Click();

    // Opens an http or https address in the panel browser, creating it first when needed.
    // An empty address, or one of another scheme, opens nothing. A page still waiting to be
    // shown (openWhenSeen) is loaded first, so the history and FirstURL are as if it had
    // been shown at once.
    void navigate(const QString &address);
    // A page that nobody may see yet (the start page): loaded at once when the browser
    // exists or the tray is open, otherwise kept (the last one wins) until the tray opens
    // or navigate() is called.
    void openWhenSeen(const QString &address);
    // The address shown or waiting to be shown; "" before the first page.
    QString locationURL() const;
    bool browserBusy() const;
    void stopBrowser();
    // nullptr until the first navigation.
    WebBrowser *browser() const { return m_browser.get(); }

    // The text lblBusy shows for a page title.
    static QString statusTitle(const QString &title);
    // The two addresses name the same page (a browser may normalise what it was given).
    static bool sameAddress(const QString &a, const QString &b);

    // Runs a handler of the panel unless another one is still running: a click that arrives
    // while a sound of the panel plays is dropped, never run inside the first.
    bool runExclusive(const std::function<void()> &handler);

    // The height of the window's screen in twips (tests replace it).
    void setScreenHeightTwips(std::function<double()> height)
    {
        m_screenHeight = std::move(height);
    }

    QString FirstURL; // the first page whose download completed
    qint16 ForwardCount = 0;
    qint16 HomePageIndex = 0;
    QString HomePageURL;
    qint16 ChartTimeCode = 1;
    qint16 ChartFreqCode = 9;

private:
    struct Toggle;
    void panelToggle(const Toggle &toggle);
    void SetButtons();
    void subPanel(QWidget *frame, QWidget *extra);
    void reShow(QWidget *frame, QWidget *focus);
    QString selectedStock();
    // The desktop's browser on an http or https address; false when it was not started.
    static bool openInDesktopBrowser(const QString &address);
    WebBrowser *ensureBrowser();
    static QString pageAddress(const QString &address);
    bool pageCanBeSeen() const;
    // A page put to rest runs again (hidden while the tray stays closed) when the user asks
    // something of it.
    void wakeBrowser();
    double screenHeightTwips() const;
    bool stopsBrowserOnClose() const;
    void saveSetting(const char *key, const QString &value) const;

    MainState &m_state;
    frmStockMain &m_main;
    frmOptions &m_options;
    QTimer &m_timInterval;
    std::unique_ptr<WebBrowser> m_browser;
    QString m_waiting; // the page kept for when the browser is seen
    bool m_loadingWaiting = false;
    QString m_afterWaiting; // the user's page, asked for while the kept one loads
    bool m_paused = false;  // put to rest when the tray closed
    std::function<double()> m_screenHeight;
    bool m_running = false;
    bool m_animating = false;
};
