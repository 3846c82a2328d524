#include "app/StockMain.h"
#include "app/TickerFeed.h"
#include "browser/BrowserPanel.h"
#include "feed/FeedConfig.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "screen/Twips.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QUrlQuery>
#include <QtTest>

namespace {

const QString kDefault = QStringLiteral("Settings\\Portfolios\\Default");
constexpr double kScreenTwips = 9000;

int px(double twips)
{
    return Twips::toPixels(twips);
}

// Plays nothing, but runs `during` once while the first sound "plays", as a click that
// arrives during a sound would.
class NestingSound : public SoundService
{
public:
    QStringList played;
    std::function<void()> during;
    void playSync(const QString &path) override
    {
        played << QFileInfo(path).fileName();
        if (auto run = std::exchange(during, nullptr))
            run();
    }
};

} // namespace

// The browser panel with the browser double: buttons, tray, navigation and Submit.
class TestBrowserPanel : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakePlatform> m_platform;
    NestingSound m_sound;
    std::unique_ptr<QuoteFeed> m_feed;
    std::unique_ptr<StockMain> m_main;

    frmStockMain *mainForm() const { return m_main->form(); }
    BrowserPanel &panel() const { return m_main->browserPanel(); }
    FakeWebBrowser *browser() const { return m_platform->browsers.last; }
    bool trayOpen() const
    {
        const int height = m_main->form()->height();
        const bool open = m_main->state().BrowserOpen;
        // The state and the window agree.
        if (height != px(open ? kScreenTwips - 400 : 2095))
            qWarning() << "height" << height << "open" << open;
        return open && height == px(kScreenTwips - 400);
    }
    // Starts the main window; the start page is shown once in the tray unless `keep`.
    void start(bool keep = false)
    {
        SettingsStore::write("Settings", "FirstRun", "1");
        SettingsStore::write("Settings", "StockURL",
                             m_feed->baseUrl() + "/download/quotes.csv?f=spelcvomrn=.csv&s=");
        m_main = std::make_unique<StockMain>();
        panel().setScreenHeightTwips([] { return kScreenTwips; });
        m_main->Form_Load();
        // The connection check keeps the start page, entry 0 of the home pages, for the
        // closed tray: no browser yet.
        QTRY_COMPARE(panel().locationURL(), FeedConfig::startPageUrl());
        QCOMPARE(m_platform->browsers.created, 0);
        if (!keep) {
            panel().ToggleBrowserTray();
            QCOMPARE(browser()->navigated, QStringList{FeedConfig::startPageUrl()});
            browser()->finishLoad("Vantora");
            panel().ToggleBrowserTray();
        }
        m_sound.played.clear();
    }

private Q_SLOTS:
    void init()
    {
        SettingsStore::clearAll();
        m_platform = std::make_unique<FakePlatform>();
        Platform services = Platform::instance();
        services.sound = &m_sound;
        Platform::install(services);
        m_feed = std::make_unique<QuoteFeed>(std::make_shared<MarketSource>(3));
        QVERIFY(m_feed->start(QHostAddress::LocalHost, 0) != 0);
    }
    void cleanup()
    {
        m_main.reset();
        m_feed.reset();
        m_platform.reset();
        m_sound.played.clear();
    }

    void secondClickClosesTray_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("stops"); // the closing click stops the browser
        QTest::newRow("Charts") << "cmdCharts"
                                << "FrameCharts" << true;
        QTest::newRow("News") << "cmdNews"
                              << "FrameNews" << true;
        QTest::newRow("Inquiry") << "cmdInquiry"
                                 << "FrameInfoButtons" << true;
        QTest::newRow("BTV") << "cmdBTV"
                             << "" << false;
    }
    void secondClickClosesTray()
    {
        QFETCH(QString, button);
        QFETCH(QString, frame);
        QFETCH(bool, stops);
        start();
        m_main->options()->chkStopBrowser()->setChecked(true);
        auto *b = m_main->form()->findChild<LinkButton *>(button);
        b->click();
        QVERIFY(trayOpen());
        QCOMPARE(b->captionColor(), QColor(Qt::black));
        QCOMPARE(b->toolTip(), "Close browser tray");
        if (!frame.isEmpty())
            QVERIFY(m_main->form()->findChild<QWidget *>(frame)->isVisible());
        QVERIFY(mainForm()->imgBezelBottom()->isVisible());
        QCOMPARE(m_sound.played, QStringList({"Click.wav", "Open.wav"}));

        const int stopsBefore = browser()->stops;
        b->click();
        QVERIFY(!trayOpen());
        QCOMPARE(m_main->form()->height(), px(2095));
        QCOMPARE(b->captionColor(), QColor(Qt::white));
        QCOMPARE(m_sound.played.last(), "Close.wav");
        // The tray itself stops the browser on closing; the button may once more.
        QCOMPARE(browser()->stops - stopsBefore, stops ? 2 : 1);
        b->click();
        QVERIFY(trayOpen());
    }

    void anotherButtonOnlySwitchesFrame()
    {
        start();
        mainForm()->cmdCharts()->click();
        mainForm()->cmdNews()->click();
        QVERIFY(trayOpen());
        QVERIFY(mainForm()->FrameNews()->isVisible());
        QVERIFY(!mainForm()->FrameCharts()->isVisible());
        QCOMPARE(m_sound.played.count("Open.wav"), 1);
        QCOMPARE(mainForm()->cmdCharts()->captionColor(), QColor(Qt::white));
    }

    void clickDuringSoundIsDropped()
    {
        start();
        m_sound.during = [this] { mainForm()->cmdCharts()->click(); };
        mainForm()->cmdCharts()->click();
        QVERIFY(trayOpen()); // opened once, not opened and closed
        QCOMPARE(m_sound.played, QStringList({"Click.wav", "Open.wav"}));
    }

    void statusTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("29") << QString(29, 'a') << QString(29, 'a');
        QTest::newRow("30") << QString(30, 'b') << QString(29, 'b') + "...";
        QTest::newRow("empty") << ""
                               << "";
    }
    void statusTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        start();
        mainForm()->cmdRadio()->click();
        QCOMPARE(mainForm()->lblBusy()->text(), "Downloading...");
        QCOMPARE(browser()->widget()->toolTip(), "Downloading...");
        browser()->finishLoad(title);
        QCOMPARE(mainForm()->lblBusy()->text(), shown);
        QVERIFY(browser()->widget()->toolTip().isEmpty());
    }

    // The page kept for the closed tray (the last one wins) loads when a page is first
    // shown, before the user's own, as if it had been shown at once; closing the tray with
    // "Stop Browser On Tray Close" puts the page to rest until the tray opens again.
    void keptPageLoadsFirst()
    {
        start(true);
        const QString kept = "http://127.0.0.1:1/kept";
        mainForm()->cmdForward()->setEnabled(true);
        panel().openWhenSeen(kept);
        QCOMPARE(panel().locationURL(), kept);
        QVERIFY(!mainForm()->cmdBack()->isEnabled());
        QVERIFY(!mainForm()->cmdForward()->isEnabled()); // nothing to go forward to
        mainForm()->cmdBTV()->click();                   // navigates, then opens the tray
        QVERIFY(trayOpen());
        QCOMPARE(m_platform->browsers.created, 1);
        QCOMPARE(browser()->navigated, QStringList{kept});
        browser()->finishLoad("kept");
        QCOMPARE(browser()->navigated,
                 QStringList({kept, m_main->options()->model().BTVURL.value()}));
        browser()->finishLoad("Business television, live from the floor");
        QCOMPARE(panel().FirstURL, kept);
        QVERIFY(mainForm()->cmdBack()->isEnabled());
        // The status label reads as it shows, named by its description.
        QAccessibleInterface *status = QAccessible::queryAccessibleInterface(mainForm()->lblBusy());
        QCOMPARE(status->text(QAccessible::Name), "Business television, live fro...");
        QCOMPARE(status->text(QAccessible::Description), "Browser status");

        m_main->options()->chkStopBrowser()->setChecked(true);
        mainForm()->cmdBTV()->click();
        QVERIFY(!trayOpen());
        QVERIFY(browser()->paused);
        mainForm()->cmdBTV()->click();
        QVERIFY(trayOpen());
        QVERIFY(!browser()->paused);
        QVERIFY(browser()->widget()->isVisible());
        QCOMPARE(browser()->navigated.size(), 2);
        // The radio, asked for behind the closed tray, plays there.
        mainForm()->cmdBTV()->click();
        mainForm()->cmdRadio()->click();
        QVERIFY(!browser()->paused);
        QVERIFY(browser()->widget()->isHidden());
        QCOMPARE(browser()->navigated.last(), m_main->options()->model().RadioURL.value());
    }

    // Every button and menu item that opens a page, with the feed's quote address and with
    // another: the feed's own page (linking to the outside source) or the outside source.
    void submitAddresses_data()
    {
        QTest::addColumn<QString>("opener");   // button or menu item that shows the frame
        QTest::addColumn<QString>("symbol");   // first grid row
        QTest::addColumn<QString>("typed");    // into the frame's text box
        QTest::addColumn<int>("index");        // of the frame's list
        QTest::addColumn<bool>("feed");        // StockURL is the feed's
        QTest::addColumn<QString>("expected"); // path and query; "" navigates nowhere
        // With the feed: its page's path ("" the same address on the feed) and "s".
        QTest::addColumn<QString>("feedPath");
        QTest::addColumn<QString>("feedSymbol");
        const QString chart = "/print/print.asp?frames=0&symb=%1&unused=0&o_symb=%1&time=9"
                              "&freq=9&backurl=%2Fquickchart%2Fquickchart%2Easp&prms=qcd";
        const QString book = "/ds/tools/bookviewer/htmlbook.jsp?STOCK=";
        struct Row
        {
            const char *name, *opener, *symbol, *typed;
            int index;
            QString expected;
            const char *feedPath, *feedSymbol;
        };
        const Row rows[] = {
            {"chart MSFT", "cmdCharts", "MSFT", "", 8, chart.arg("MSFT"), "", ""},
            {"chart AT&T, menu", "mnuChart", "AT&T", "", 8, chart.arg("AT%26T"), "", ""},
            {"news Yahoo! #", "cmdNews", "A#B", "", 8, "/n/A/A%23B.html", "/news", "A#B"},
            {"news, menu", "mnuNews", "IBM", "", 1, "/tools/quotes/news.asp?symb=IBM&siteid=mktw",
             "/news", "IBM"},
            {"lookup AT&T", "cmdLookup", "", "AT&T", 0, "/l?m=US&s=AT%26T&t=", "", ""},
            {"lookup, menu", "mnuLookup", "", "micro", 0, "/l?m=US&s=micro&t=", "", ""},
            {"research keeps case", "cmdResearch", "", "ibm", 7, "/q?s=ibm&d=t", "/research",
             "ibm"},
            {"research fixed", "cmdResearch", "", "ibm", 5, "/edgar/searchedgar/webusers.htm",
             "/research", "ibm"},
            {"research, menu", "mnuResearch", "", "", 0,
             "/search/CompanyList.asp?Ticker=", "/research", ""},
            {"IPO", "cmdIPO", "", "", 21, "/ipo/", "/ipo", ""},
            {"IPO, menu", "mnuIPO", "", "", 14, "/reference/IPOs.stm", "/ipo", ""},
            {"IPO none selected", "cmdIPO", "", "", -1, "", "", ""},
            {"screener", "cmdScreener", "", "", 0, "/stocks.html", "/screener", ""},
            {"screener, menu", "mnuScreener", "", "", 8, "/StockScreener.asp", "/screener", ""},
            {"Island book", "picIslandButton", "A&B", "", 0, book + "A%26B", "", ""},
            {"Island book, menu", "mnuIslandBook", "IBM", "", 0, book + "IBM", "", ""},
        };
        for (const Row &r : rows) {
            for (bool feed : {true, false}) {
                QTest::addRow("%s, %s", r.name, feed ? "feed" : "Internet")
                    << r.opener << r.symbol << r.typed << r.index << feed << r.expected
                    << r.feedPath << r.feedSymbol;
            }
        }
    }
    void submitAddresses()
    {
        QFETCH(QString, opener);
        QFETCH(QString, symbol);
        QFETCH(QString, typed);
        QFETCH(int, index);
        QFETCH(bool, feed);
        QFETCH(QString, expected);
        QFETCH(QString, feedPath);
        QFETCH(QString, feedSymbol);
        start();
        if (!feed)
            m_main->options()->model().StockURL.set(
                "http://quotes.example.com/download/quotes.csv?s=");
        mainForm()->gridQuotes()->setTextMatrix(1, 0, symbol);
        const bool menu = opener.startsWith("mnu");
        if (menu) {
            m_main->form()->findChild<QAction *>(opener)->trigger();
        } else {
            mainForm()->cmdInquiry()->click();
            if (opener == "picIslandButton")
                Q_EMIT mainForm()->picIslandButton()->clicked();
            else
                m_main->form()->findChild<LinkButton *>(opener)->click();
        }
        const QString kind = opener.mid(3).toLower();
        QComboBox *list = kind == "charts" || kind == "chart" ? mainForm()->cboChartTime()
                          : kind == "news"                    ? mainForm()->cboStockNews()
                          : kind == "ipo"                     ? mainForm()->cboIPOList()
                          : kind == "screener"                ? mainForm()->cboScreener()
                                                              : mainForm()->cboResearchSource();
        list->setCurrentIndex(index);
        mainForm()->cboChartFreq()->setCurrentIndex(0);
        QLineEdit *text =
            kind == "lookup" ? mainForm()->txtSymbolLookup() : mainForm()->txtResearch();
        text->setText(typed);
        const int before = int(browser()->navigated.size());
        const bool island = opener.contains("Island"); // opens at once, on the desktop
        if (kind == "lookup" || kind == "research")
            QTest::keyClick(text, Qt::Key_Return); // Enter submits
        else if (!island)
            mainForm()->cmdSubmit()->click();
        if (expected.isEmpty()) {
            QCOMPARE(browser()->navigated.size(), before);
            return;
        }
        if (!island)
            QCOMPARE(browser()->navigated.size(), before + 1);
        const QString address = island
                                    ? m_platform->programs.urls.last().toString(QUrl::FullyEncoded)
                                    : browser()->navigated.last();
        const QUrl url(address);
        const auto pathAndQuery = [](const QString &a) { return a.mid(a.indexOf('/', 8)); };
        QCOMPARE(url.host() == "127.0.0.1" && url.port() == int(m_feed->port()), feed);
        if (!feed || feedPath.isEmpty()) {
            QCOMPARE(pathAndQuery(address), expected);
        } else {
            // The feed's page, for the symbol, naming the outside source.
            QCOMPARE(url.path(), feedPath);
            const QUrlQuery query(url);
            QCOMPARE(query.queryItemValue("s", QUrl::FullyDecoded), feedSymbol);
            QCOMPARE(pathAndQuery(query.queryItemValue("source", QUrl::FullyDecoded)), expected);
        }
        if (island)
            return;
        QCOMPARE(m_main->state().ActiveButton, "cmdSubmit");
        if (kind.startsWith("chart"))
            QCOMPARE(SettingsStore::read(kDefault, "StockChartsURL"), browser()->navigated.last());
        QCOMPARE(SettingsStore::read(kDefault, "ChartTime"),
                 QString::number(mainForm()->cboChartTime()->currentIndex()));
        QCOMPARE(SettingsStore::read(kDefault, "Research"),
                 QString::number(mainForm()->cboResearchSource()->currentIndex()));
    }

    void secondSubmitOnlyClosesTray()
    {
        start();
        mainForm()->cmdCharts()->click();
        mainForm()->cmdSubmit()->click();
        const int navigations = int(browser()->navigated.size());
        mainForm()->cmdSubmit()->click();
        QVERIFY(!trayOpen());
        QCOMPARE(browser()->navigated.size(), navigations);
        QCOMPARE(mainForm()->cmdSubmit()->toolTip(), "Submit data and view results");
        mainForm()->cmdSubmit()->click(); // and a third opens it again
        QVERIFY(trayOpen());
    }

    void listsOpenFramesOnlyWhenUsed()
    {
        start();
        mainForm()->cboIPOList()->setCurrentIndex(3); // as a portfolio load does
        QVERIFY(mainForm()->FrameIPO()->isHidden());
        Q_EMIT mainForm()->cboIPOList()->activated(3); // the user picks an item
        QVERIFY(!mainForm()->FrameIPO()->isHidden());
        QVERIFY(!mainForm()->cmdSubmit()->isHidden());
    }

    void backAndForward()
    {
        start();
        QVERIFY(!mainForm()->cmdBack()->isEnabled()); // the first page is as far back as it goes
        panel().navigate("http://127.0.0.1:1/second");
        browser()->finishLoad("second");
        QVERIFY(mainForm()->cmdBack()->isEnabled());
        mainForm()->cmdBack()->click();
        browser()->finishLoad("Vantora");
        QCOMPARE(panel().ForwardCount, 1);
        QVERIFY(!mainForm()->cmdBack()->isEnabled());
        QVERIFY(mainForm()->cmdForward()->isEnabled());
        panel().cmdBack_Click(); // at the first page: nothing
        QCOMPARE(panel().ForwardCount, 1);
        mainForm()->cmdForward()->click();
        browser()->finishLoad("second");
        QCOMPARE(panel().ForwardCount, 0);
        QCOMPARE(browser()->locationURL(), "http://127.0.0.1:1/second");
        panel().cmdForward_Click(); // no page ahead: the count stays
        QCOMPARE(panel().ForwardCount, 0);
    }

    void separateBrowserAndEmptyAddresses()
    {
        start();
        // The home page goes to the desktop's browser; the tray stays closed.
        mainForm()->cmdHome()->click();
        QCOMPARE(m_platform->programs.urls, QList<QUrl>{QUrl(FeedConfig::startPageUrl())});
        QVERIFY(!trayOpen());
        QVERIFY(m_main->state().ActiveButton.isEmpty());
        // The Island book of row 1 (no row selected yet), its symbol encoded.
        mainForm()->gridQuotes()->setTextMatrix(1, 0, "A&B");
        Q_EMIT mainForm()->picIslandButton()->clicked();
        QCOMPARE(m_platform->programs.urls.last().query(QUrl::FullyEncoded), "STOCK=A%26B");
        // Without a desktop browser the tray opens without a page.
        m_platform->programs.result = false;
        mainForm()->cmdHome()->click();
        QVERIFY(trayOpen());
        const int navigations = int(browser()->navigated.size());
        mainForm()->cmdScreener()->click(); // the button has no page of its own
        panel().navigate("file:///etc/passwd");
        QCOMPARE(browser()->navigated.size(), navigations);
    }

    void tickerAndMenu()
    {
        start();
        m_main->tickerFeed().Scroller1_DblClick();
        QVERIFY(trayOpen());
        QCOMPARE(browser()->navigated.last(), m_main->options()->model().IndicesURL.value());
        m_main->tickerFeed().Scroller1_DblClick();
        QVERIFY(!trayOpen());
        // The menu's chart item presses the Charts button.
        m_main->form()->findChild<QAction *>("mnuChart")->trigger();
        QVERIFY(trayOpen());
        QVERIFY(mainForm()->FrameCharts()->isVisible());
    }
};

QTEST_MAIN(TestBrowserPanel)
#include "tst_browserpanel.moc"
