#include "app/StockMain.h"
#include "common/Colors.h"
#include "common/MainState.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/ScrollerHost.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>

#include <memory>

namespace {

const QString kIndexPath = QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=");

// One index answer as the service sends it: name, "time - <b>value</b>",
// "change - percent" and six trailing fields.
QByteArray indexLine(const char *name, const char *value, const char *change)
{
    return QByteArray("\"") + name + "\",\"4:01pm - <b>" + value + "</b>\",\"" + change +
           " - +0.12%\",N/A,N/A,N/A,N/A,N/A,N/A\r\n";
}

} // namespace

// The market-index download of a started main window against a scripted service on
// loopback.
class TestMarketIndices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void requestsTheDefaultBoxesInOrder();
    void buildsOneLinePerTickedIndex();
    void symbolIsTrimmedAndLowerCased();
    void replyWithoutLineBreakJoinsTheNextIndex();
    void noIndexTickedStillFinishes();
    void shortReplyEndsEarly();
    void accessDeniedEndsEarly();
    void transferErrorSkipsTheRestAndFinishes();
    void nothingWhileOptionsOpen();
    void nothingWithoutConnection();

private:
    void startMain();
    void tickOnly(std::initializer_list<int> boxes);
    QMenu *menu() const { return m_main->form()->findChild<QMenu *>(QStringLiteral("MnuVantora")); }
    // The requests as the service decoded them ("^" travels percent-encoded).
    QStringList requests() const
    {
        QStringList decoded;
        for (const QString &target : m_source->requests())
            decoded << QUrl::fromPercentEncoding(target.toLatin1());
        return decoded;
    }
    QString updateTime() const
    {
        return m_main->form()->findChild<QLineEdit *>(QStringLiteral("txtUpdateTime"))->text();
    }
    void verifyFinishedNormally(qint32 lamp = Colors::LampDone);
    void verifyEndedEarly();

    std::unique_ptr<FakePlatform> m_platform;
    std::shared_ptr<ScriptedSource> m_source;
    std::unique_ptr<QuoteFeed> m_feed;
    std::unique_ptr<StockMain> m_main;
};

void TestMarketIndices::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_source = std::make_shared<ScriptedSource>(std::make_shared<MarketSource>(5));
    m_feed = std::make_unique<QuoteFeed>(m_source);
    QVERIFY(m_feed->start(QHostAddress::LocalHost, 0) != 0);
    SettingsStore::clearAll();
}

void TestMarketIndices::cleanup()
{
    m_main.reset();
    m_feed.reset();
    m_source.reset();
    m_platform.reset();
}

void TestMarketIndices::startMain()
{
    // No FirstRun: the window stays hidden and nothing is downloaded at start-up.
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("MarketURL"),
                         m_feed->baseUrl() + kIndexPath);
    SettingsStore::sync();
    m_main = std::make_unique<StockMain>();
    m_main->Form_Load();
    QCOMPARE(m_main->state().MarketURL, m_feed->baseUrl() + kIndexPath);
    QVERIFY(m_source->requests().isEmpty());
    // The ticker's passes are not under test here.
    m_main->timScroll().stop();
}

void TestMarketIndices::tickOnly(std::initializer_list<int> boxes)
{
    for (QCheckBox *box : m_main->options()->chkIndex)
        box->setChecked(false);
    for (int i : boxes)
        m_main->options()->chkIndex[std::size_t(i)]->setChecked(true);
}

void TestMarketIndices::verifyFinishedNormally(qint32 lamp)
{
    QCOMPARE(m_main->lampColor(), lamp);
    QVERIFY(m_main->timScroll().isActive());
    QVERIFY(menu()->isEnabled());
    QCOMPARE(m_main->scroller()->mousePointer(), qint16(0));
    QVERIFY(m_main->state().ReplyText.isEmpty());
    m_main->timScroll().stop();
}

void TestMarketIndices::verifyEndedEarly()
{
    // Without its finishing steps, but the window stays usable.
    QCOMPARE(m_main->lampColor(), Colors::LampOffline);
    QVERIFY(m_main->timScroll().isActive());
    QVERIFY(menu()->isEnabled());
    QCOMPARE(m_main->scroller()->mousePointer(), qint16(0));
    m_main->timScroll().stop();
}

void TestMarketIndices::requestsTheDefaultBoxesInOrder()
{
    startMain();
    // Start-up ticks these five with the default colours.
    QVERIFY(m_main->options()->chkIndex[0]->isChecked());
    tickOnly({22, 0, 11, 4, 8});
    m_main->GetMarketQuotes();

    const QStringList expected{
        kIndexPath + QStringLiteral("^dji"), kIndexPath + QStringLiteral("^gspc"),
        kIndexPath + QStringLiteral("^xax"), kIndexPath + QStringLiteral("^nya"),
        kIndexPath + QStringLiteral("^ixic")};
    QCOMPARE(requests(), expected);
    QVERIFY(!updateTime().isEmpty());
    verifyFinishedNormally();
}

void TestMarketIndices::buildsOneLinePerTickedIndex()
{
    startMain();
    tickOnly({0, 4, 22});
    m_main->state().TickerItems[1] = QStringLiteral("kept from before");
    m_source->enqueue(FeedReply::text(indexLine("DJ INDU AVERAGE", "10432.12", "+12.30")));
    m_source->enqueue(FeedReply::text(indexLine("S&P 500 INDEX", "1412.45", "-3.10")));
    m_source->enqueue(FeedReply::text(indexLine("NAS/NMS COMPSITE", "3912.48", "+0.50")));
    m_main->GetMarketQuotes();

    const QStringList &items = m_main->state().TickerItems;
    QCOMPARE(items.size(), 43);
    QCOMPARE(items[0], QStringLiteral("DJIA      10432.12      +12.30"));
    QCOMPARE(items[4],
             QStringLiteral("S&P 500 ") + QString(6, u' ') + QStringLiteral("1412.45      -3.10"));
    QCOMPARE(items[22], QStringLiteral("NASDAQ      3912.48      +0.50"));
    // A line is replaced only when its index is downloaded again.
    QCOMPARE(items[1], QStringLiteral("kept from before"));
    verifyFinishedNormally();
}

void TestMarketIndices::symbolIsTrimmedAndLowerCased()
{
    startMain();
    tickOnly({12, 41});
    m_main->GetMarketQuotes();
    QCOMPARE(requests(), (QStringList{kIndexPath + QStringLiteral("^tv.n"),
                                      kIndexPath + QStringLiteral("^xau")}));
}

void TestMarketIndices::replyWithoutLineBreakJoinsTheNextIndex()
{
    startMain();
    tickOnly({0, 4});
    m_source->enqueue(FeedReply::text("\"DJ INDU AVERAGE\",\"4:01pm - <b>10432.12</b>\""));
    m_source->enqueue(FeedReply::text(",\"+12.30 - +0.12%\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
    m_main->GetMarketQuotes();

    QCOMPARE(m_source->requests().size(), 2);
    QCOMPARE(m_main->state().TickerItems[0], QString());
    QCOMPARE(m_main->state().TickerItems[4], QStringLiteral("DJIA      10432.12      +12.30"));
    verifyFinishedNormally();
}

void TestMarketIndices::noIndexTickedStillFinishes()
{
    startMain();
    tickOnly({});
    m_main->form()->findChild<QLineEdit *>(QStringLiteral("txtUpdateTime"))->clear();
    m_main->GetMarketQuotes();
    QVERIFY(m_source->requests().isEmpty());
    QVERIFY(!updateTime().isEmpty());
    verifyFinishedNormally();
}

void TestMarketIndices::shortReplyEndsEarly()
{
    startMain();
    tickOnly({0, 4, 8});
    m_source->enqueue(FeedReply::text(indexLine("DJ INDU AVERAGE", "10432.12", "+12.30")));
    m_source->enqueue(FeedReply::text("N/A"));
    m_main->GetMarketQuotes();

    QCOMPARE(m_source->requests().size(), 2); // the third index is never asked for
    QCOMPARE(m_main->state().TickerItems[0], QStringLiteral("DJIA      10432.12      +12.30"));
    verifyEndedEarly();

    // The next download that finishes normally restarts the ticker.
    m_main->GetMarketQuotes();
    QCOMPARE(m_source->requests().size(), 5);
    verifyFinishedNormally();
}

void TestMarketIndices::accessDeniedEndsEarly()
{
    startMain();
    tickOnly({0, 4});
    m_source->enqueue(FeedReply::text("<html>access denied</html>\r\n"));
    m_main->GetMarketQuotes();

    QCOMPARE(m_source->requests().size(), 1);
    QCOMPARE(m_platform->messageBox.shown.size(), 1);
    const FakeMessageBox::Shown &box = m_platform->messageBox.shown.first();
    QCOMPARE(box.title, QStringLiteral("Vantora Critical Error"));
    QCOMPARE(box.text, QuoteDownload::accessDeniedText());
    QVERIFY(box.text.startsWith(QStringLiteral("Access Denied error from server!\r\n")));
    QCOMPARE(box.icon, MessageBoxService::Icon::Critical);
    QCOMPARE(box.buttons, int(QMessageBox::Ok));
    QVERIFY(m_main->state().TickerItems[0].isEmpty());
    verifyEndedEarly();
}

void TestMarketIndices::transferErrorSkipsTheRestAndFinishes()
{
    startMain();
    tickOnly({0, 4, 8});
    m_source->enqueue(FeedReply::text(indexLine("DJ INDU AVERAGE", "10432.12", "+12.30")));
    m_source->enqueue(FeedReply::error(500));
    m_main->GetMarketQuotes();

    QCOMPARE(m_source->requests().size(), 2);
    QCOMPARE(m_main->state().TickerItems[0], QStringLiteral("DJIA      10432.12      +12.30"));
    QVERIFY(m_main->state().TickerItems[8].isEmpty());
    // The ticker runs on with what came in, but the lamp says the download failed.
    verifyFinishedNormally(Colors::LampOffline);
}

void TestMarketIndices::nothingWhileOptionsOpen()
{
    startMain();
    tickOnly({0});
    m_main->form()
        ->findChild<QLineEdit *>(QStringLiteral("txtUpdateTime"))
        ->setText(QStringLiteral("before"));
    m_main->options()->show();
    m_main->GetMarketQuotes();
    m_main->options()->hide();
    QVERIFY(m_source->requests().isEmpty());
    QCOMPARE(updateTime(), QStringLiteral("before"));
    QVERIFY(!m_main->timScroll().isActive());
}

void TestMarketIndices::nothingWithoutConnection()
{
    startMain();
    tickOnly({0});
    m_platform->connection.flags = 0;
    // A quote address on loopback counts as a LAN link; here nothing is on loopback.
    m_main->state().StockURL = QStringLiteral("http://quotes.invalid/q?s=");
    m_main->state().MarketURL = QStringLiteral("http://quotes.invalid/q?s=");
    m_main->state().IndicesURL = QStringLiteral("http://quotes.invalid/m1");
    m_main->GetMarketQuotes();
    QVERIFY(m_source->requests().isEmpty());
    QCOMPARE(m_main->lampColor(), Colors::LampOffline);
    QVERIFY(!m_main->timScroll().isActive());
}

QTEST_MAIN(TestMarketIndices)
#include "tst_marketindices.moc"
