#include "app/StockMain.h"
#include "browser/BrowserPanel.h"
#include "feed/FeedConfig.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "grid/FlexGrid.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QWidget>
#include <QtTest>

#include <unistd.h>

namespace {

// The web engine's processes started by this one, children's children included.
int engineProcesses()
{
    QList<qint64> parents{qint64(::getpid())};
    int engines = 0;
    for (bool found = true; found;) {
        found = false;
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString &entry : entries) {
            bool isPid = false;
            const qint64 pid = entry.toLongLong(&isPid);
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!isPid || parents.contains(pid) || !stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            const qsizetype close = line.lastIndexOf(')');
            const qint64 parent = line.mid(close + 4).split(' ').value(0).toLongLong();
            if (close < 0 || !parents.contains(parent))
                continue;
            parents << pid;
            found = true;
            if (line.mid(line.indexOf('(') + 1).startsWith("QtWebEngine"))
                ++engines;
        }
    }
    return engines;
}

// The engine's library is mapped into this process.
bool engineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

} // namespace

// Stands in for the desktop's mail program and any other handler of a scheme.
class DesktopHandler : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

// The real embedded browser, offscreen, against the built-in feed.
class TestWebEngine : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        // The engine as the program sets it up and, offscreen, without a GPU.
        WebEngineBrowsers::prepareApplication();
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }

private Q_SLOTS:
    // On a new store the first quotes arrive with no engine process running and the
    // engine's library not loaded, the start page is kept for the closed tray, and the
    // tray's opening shows it. First of all, as the engine stays once started.
    void startPageWaitsForTheTray()
    {
        SettingsStore::clearAll();
        SettingsStore::write("Settings", "FirstRun", "1");
        FakePlatform platform;
        WebEngineBrowsers browsers;
        Platform services = Platform::instance();
        services.browsers = &browsers;
        Platform::install(services);
        StockMain main;
        main.Form_Load();
        frmStockMain *form = main.form();
        QTRY_VERIFY_WITH_TIMEOUT(!form->gridQuotes()->textMatrix(1, 4).isEmpty(), 30000);
        QTRY_COMPARE(main.browserPanel().locationURL(), FeedConfig::startPageUrl());
        QCOMPARE(engineProcesses(), 0);
        QVERIFY(!engineMapped());
        QVERIFY(!main.browserPanel().browser());

        form->cmdCharts()->click();
        QVERIFY(main.state().BrowserOpen);
        QTRY_COMPARE_WITH_TIMEOUT(form->lblBusy()->text(), "Vantora", 60000);
        QCOMPARE(main.browserPanel().FirstURL, FeedConfig::startPageUrl());
        QVERIFY(!form->cmdBack()->isEnabled());
        QVERIFY(engineProcesses() > 0); // the count sees the engine once it runs
        QVERIFY(engineMapped());
        main.form()->hide();
    }

    void loadsTheFeedsPages()
    {
        QuoteFeed feed(std::make_shared<MarketSource>(5));
        QVERIFY(feed.start(QHostAddress::LocalHost, 0) != 0);
        QWidget host;
        host.resize(640, 480);
        WebEngineBrowsers browsers;
        std::unique_ptr<WebBrowser> browser = browsers.create(&host);
        QVERIFY2(browser, "the web engine module is built into lib/");
        host.show();
        QSignalSpy complete(browser.get(), &WebBrowser::downloadComplete);

        const QString lookup = feed.baseUrl() + "/l?m=US&s=micro&t=";
        browser->navigate(lookup);
        QVERIFY(browser->busy());
        QTRY_VERIFY_WITH_TIMEOUT(!browser->busy() && complete.count() > 0, 60000);
        QTRY_COMPARE(browser->locationName(), "Symbol Lookup: micro");
        QCOMPARE(browser->locationURL(), lookup);

        browser->navigate(feed.baseUrl() +
                          "/print/print.asp?frames=0&symb=IBM&unused=0&o_symb=IBM&time=3&freq=1");
        QTRY_VERIFY_WITH_TIMEOUT(!browser->busy(), 60000);
        QTRY_COMPARE(browser->locationName(), "IBM chart, One Week, Daily");
        QVERIFY(browser->goBack());
        QTRY_COMPARE(browser->locationName(), "Symbol Lookup: micro");
    }

    // A page's link to mailto: (or any other scheme) is never handed to a desktop program,
    // not even when the user follows it.
    void otherSchemesStayInside()
    {
        DesktopHandler handler;
        QDesktopServices::setUrlHandler("mailto", &handler, "open");
        QWidget host;
        host.resize(320, 200);
        WebEngineBrowsers browsers;
        std::unique_ptr<WebBrowser> browser = browsers.create(&host);
        QVERIFY2(browser, "the web engine module is built into lib/");
        browser->widget()->resize(320, 200);
        host.show();
        QSignalSpy complete(browser.get(), &WebBrowser::downloadComplete);
        browser->navigate("data:text/html,<a id=a href='mailto:someone@example.test'>mail</a>"
                          "<script>document.getElementById('a').focus()</script>");
        QTRY_VERIFY_WITH_TIMEOUT(!browser->busy(), 60000);
        const qsizetype loads = complete.count();
        QWidget *view = browser->widget();
        QTRY_VERIFY(view->focusProxy());
        QTest::keyClick(view->focusProxy(), Qt::Key_Return);
        // Refused, the link ends as a failed load.
        QTRY_VERIFY_WITH_TIMEOUT(complete.count() > loads || !handler.opened.isEmpty(), 30000);
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(handler.opened, QList<QUrl>());
    }

    // A page put to rest behind the closed tray runs no timer until it is woken: the page
    // counts in its title, and every new title is reported as a finished download.
    void pausedPageRunsNoScript()
    {
        QWidget host;
        WebEngineBrowsers browsers;
        std::unique_ptr<WebBrowser> browser = browsers.create(&host);
        QVERIFY2(browser, "the web engine module is built into lib/");
        host.show();
        QSignalSpy titles(browser.get(), &WebBrowser::downloadComplete);
        browser->navigate("data:text/html,<script>let n=0;"
                          "setInterval(()=>{document.title='t'+(++n)},50)</script>");
        QTRY_VERIFY_WITH_TIMEOUT(titles.count() > 3, 60000);
        browser->pause();
        titles.wait(500); // a title already on its way
        titles.clear();
        // A hidden page's timers still run once a second; a frozen page's do not.
        QVERIFY(!titles.wait(2500));
        browser->resume();
        browser->widget()->show();
        QVERIFY(titles.wait(10000));
    }
};

QTEST_MAIN(TestWebEngine)
#include "tst_webengine.moc"
