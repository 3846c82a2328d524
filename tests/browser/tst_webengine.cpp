#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "platform/webengine/WebEngineBrowser.h"

#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

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
    void loadsTheFeedsPages()
    {
        QuoteFeed feed(std::make_shared<MarketSource>(5));
        QVERIFY(feed.start(QHostAddress::LocalHost, 0) != 0);
        QWidget host;
        host.resize(640, 480);
        WebEngineBrowsers browsers;
        std::unique_ptr<WebBrowser> browser = browsers.create(&host);
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
};

QTEST_MAIN(TestWebEngine)
#include "tst_webengine.moc"
