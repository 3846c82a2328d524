#include "app/StockMain.h"
#include "app/UpdateCycle.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "feed/FeedConfig.h"
#include "feed/Instruments.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"
#include "grid/FlexGrid.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "screen/Colors.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QString kDelayedPath = QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=");

// One answer line in the service's delayed format.
QByteArray quoteLine(const char *symbol, const char *last, const char *volume,
                     const char *name = "Some Company")
{
    return QByteArray("\"") + symbol + "\",10.00,1.25,\"3:17pm - <b>" + last +
           "</b>\",\"+0.50 - +5.00%\"," + volume + ",9.80,\"9.50 - 11.00\",8.00,\"" + name +
           "\",0.1,0.2,\"NYSE\",1,2,3\r\n";
}

} // namespace

class TestQuoteDownload : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void firstRequestAtStartUp();
    void fillsTheGridFromTheAnswer();
    void keepsPreviousValues();
    void skipsEmptySymbolRows();
    void fewerLinesThanSymbols();
    void transferFailureKeepsTheGrid_data();
    void transferFailureKeepsTheGrid();
    void retryDownloadsAgain();
    void accessDenied();
    void requestsDuringTheIndexDownloadRunOnceAfterIt();
    void answerForAChangedListIsDropped();
    void alertShowsUntilTheNextDownload_data();
    void alertShowsUntilTheNextDownload();
    void lampStaysRedAfterAFailedIndexDownload();
    void sourceFailureIsToldOncePerStreak();
    void symbolAddedInOptionsDownloadsAfterOk();
    void previousPriceFollowsTheSymbol_data();
    void previousPriceFollowsTheSymbol();
    void nothingWhileOptionsOpen();
    void realTimeModeUsesFixedTemplate();
    void everyFeedSymbolFillsThirteenColumns();

private:
    void startMain(bool firstRun = false);
    // After a download that ended early the window is usable again.
    void verifyUsable();
    void setSymbols(const QStringList &symbols);
    FlexGrid *grid() const
    {
        return m_main->form()->findChild<FlexGrid *>(QStringLiteral("gridQuotes"));
    }
    QString cell(int r, int c) const { return grid()->textMatrix(r, c); }
    // The colour a person sees in cell (r, c): a pixel inside it, away from its text.
    QColor shownBackColor(int r, int c) const
    {
        const QRect rect = grid()->visualRect(grid()->model()->index(r, c));
        const QImage image = grid()->viewport()->grab().toImage();
        return image.pixelColor(rect.topLeft() + QPoint(2, 2));
    }

    std::unique_ptr<FakePlatform> m_platform;
    std::shared_ptr<ScriptedSource> m_source;
    std::unique_ptr<QuoteFeed> m_feed;
    std::unique_ptr<StockMain> m_main;
};

void TestQuoteDownload::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_source = std::make_shared<ScriptedSource>(std::make_shared<MarketSource>(3));
    m_feed = std::make_unique<QuoteFeed>(m_source);
    QVERIFY(m_feed->start(QHostAddress::LocalHost, 0) != 0);
    SettingsStore::clearAll();
}

void TestQuoteDownload::cleanup()
{
    m_main.reset();
    m_feed.reset();
    m_source.reset();
    m_platform.reset();
}

void TestQuoteDownload::startMain(bool firstRun)
{
    // FirstRun recorded: the window shows at once and the first download starts.
    if (!firstRun)
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"),
                             QStringLiteral("1"));
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("StockURL"),
                         m_feed->baseUrl() + kDelayedPath);
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("MarketURL"),
                         m_feed->baseUrl() +
                             QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s="));
    SettingsStore::sync();
    m_main = std::make_unique<StockMain>();
    m_main->Form_Load();
    // From here on only the stock requests reach the script: no index is requested.
    for (QCheckBox *box : m_main->options()->chkIndex)
        box->setChecked(false);
}

void TestQuoteDownload::verifyUsable()
{
    QCOMPARE(m_main->lampColor(), Colors::LampOffline);
    QVERIFY(!grid()->testAttribute(Qt::WA_SetCursor));
    QVERIFY(grid()->isVisible() || !m_main->form()->isVisible());
    auto *menu = m_main->form()->findChild<QMenu *>(QStringLiteral("MnuVantora"));
    QVERIFY(menu->menuAction()->isVisible());
    QVERIFY(menu->isEnabled());
}

void TestQuoteDownload::setSymbols(const QStringList &symbols)
{
    FlexGrid *list = m_main->options()->findChild<FlexGrid *>(QStringLiteral("gridSymbols"));
    QVERIFY(list);
    list->setRows(1);
    for (const QString &symbol : symbols)
        list->addItem(symbol + QStringLiteral("\t0\t0.00\t0.00"));
}

void TestQuoteDownload::firstRequestAtStartUp()
{
    startMain();
    QCOMPARE(m_source->requests().value(0),
             QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=msft,csco,ibm,dell,"));
    // The simulated market answered: one row per default symbol, in list order.
    QCOMPARE(grid()->rows(), 5);
    QCOMPARE(cell(1, 0), QStringLiteral("MSFT"));
    QCOMPARE(cell(4, 0), QStringLiteral("DELL"));
    QCOMPARE(m_main->lampColor(), Colors::LampDone);
    QVERIFY(!m_main->state().SymbolsChanged);
}

void TestQuoteDownload::fillsTheGridFromTheAnswer()
{
    startMain(true); // nothing downloaded yet
    QVERIFY(m_source->requests().isEmpty());
    setSymbols({QStringLiteral("MSFT"), QStringLiteral("IBM"), QStringLiteral("DELL"),
                QStringLiteral("CSCO")});
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "57.67", "25042156", "Microsoft Corp") +
                                      quoteLine("IBM", "101.5", "N/A") +
                                      quoteLine("DELL", "N/A", "0") +
                                      quoteLine("CSCO", "20.1", "999")));
    m_main->GetQuotes();

    QCOMPARE(m_source->requests(),
             QStringList{kDelayedPath + QStringLiteral("msft,ibm,dell,csco,")});
    const QStringList row1{
        QStringLiteral("MSFT"),          QStringLiteral("10.00"),      QStringLiteral("1.25"),
        QStringLiteral("3:17pm"),        QStringLiteral("57.67"),      QStringLiteral("+0.50"),
        QStringLiteral("+5.00%"),        QStringLiteral("25,042,156"), QStringLiteral("9.80"),
        QStringLiteral("9.50"),          QStringLiteral("11.00"),      QStringLiteral("8.00"),
        QStringLiteral("Microsoft Corp")};
    for (int c = 0; c < 13; ++c)
        QCOMPARE(cell(1, c), row1.at(c));
    // Volume: grouped by threes; "N/A" unchanged; 0 shows as an empty cell; short numbers
    // stay as they are.
    QCOMPARE(cell(2, 7), QStringLiteral("N/A"));
    QCOMPARE(cell(3, 7), QString());
    QCOMPARE(cell(4, 7), QStringLiteral("999"));
    QCOMPARE(cell(3, 4), QStringLiteral("N/A"));

    // The first download after start-up writes no change colours.
    for (int r = 1; r < grid()->rows(); ++r)
        for (int c : {1, 2, 4, 9, 10})
            QVERIFY(!grid()->cellForeColor(r, c).isValid());

    // The download's visible end state.
    auto *notice = m_main->form()->findChild<QLabel *>(QStringLiteral("lblDelayNotice"));
    QCOMPARE(notice->text(), QStringLiteral("Quotes are delayed 20 minutes"));
    QCOMPARE(m_main->lampColor(), Colors::LampDone);
    QVERIFY(!grid()->isHidden() && grid()->redraw());
    QVERIFY(!grid()->testAttribute(Qt::WA_SetCursor));
    auto *menu = m_main->form()->findChild<QMenu *>(QStringLiteral("MnuVantora"));
    QVERIFY(menu && menu->menuAction()->isVisible());
    QCOMPARE(m_main->state().SelectedRow, qint16(1));
    QCOMPARE(grid()->row(), 1);
    QCOMPARE(grid()->col(), 0);
    QVERIFY(m_main->state().ReplyText.isEmpty());
    QVERIFY(!m_main->state().SymbolsChanged);
    QCOMPARE(m_main->state().RowSymbol, QStringLiteral("CSCO"));
}

void TestQuoteDownload::keepsPreviousValues()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT"), QStringLiteral("IBM")});
    m_source->enqueue(
        FeedReply::text(quoteLine("MSFT", "57.67", "1") + quoteLine("IBM", "80", "1")));
    m_source->enqueue(
        FeedReply::text(quoteLine("MSFT", "57.67", "2") + quoteLine("IBM", "81", "2")));
    m_main->GetQuotes();
    const MainState &state = m_main->state();
    QCOMPARE(state.CurrentQuotes[2][4], QStringLiteral("80"));
    QCOMPARE(state.PreviousQuotes[2][4], QString());
    m_main->GetQuotes();
    QCOMPARE(state.CurrentQuotes[1][4], QStringLiteral("57.67"));
    QCOMPARE(state.PreviousQuotes[1][4], QStringLiteral("57.67"));
    QCOMPARE(state.CurrentQuotes[2][4], QStringLiteral("81"));
    QCOMPARE(state.PreviousQuotes[2][4], QStringLiteral("80"));
    QCOMPARE(state.CurrentQuotes[2][7], QStringLiteral("2")); // the raw field, not the cell
    // The last row filled decides: IBM's price changed.
    QVERIFY(state.QuoteChanged);
    for (int c = 0; c < 14; ++c) {
        QVERIFY(state.CurrentQuotes[0][c].isEmpty());
        QVERIFY(state.CurrentQuotes[3][c].isEmpty());
    }
    QVERIFY(state.CurrentQuotes[1][13].isEmpty());
}

void TestQuoteDownload::skipsEmptySymbolRows()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT"), QString(), QStringLiteral(" IBM ")});
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "1", "1") + quoteLine("IBM", "2", "2")));
    m_main->GetQuotes();
    QCOMPARE(m_source->requests().value(0), kDelayedPath + QStringLiteral("msft,ibm,"));
    QCOMPARE(grid()->rows(), 4);
    QCOMPARE(cell(1, 0), QStringLiteral("MSFT"));
    QCOMPARE(cell(2, 0), QString());
    QCOMPARE(cell(2, 4), QString());
    QCOMPARE(cell(3, 0), QStringLiteral("IBM"));
    QCOMPARE(cell(3, 4), QStringLiteral("2"));
}

void TestQuoteDownload::fewerLinesThanSymbols()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT"), QStringLiteral("IBM"), QStringLiteral("DELL")});
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "1", "1") + quoteLine("IBM", "2", "2") +
                                      quoteLine("DELL", "3", "3")));
    // The second answer has one line, and the last line lacks its CR LF.
    m_source->enqueue(
        FeedReply::text(quoteLine("MSFT", "4", "4") + quoteLine("IBM", "5", "5").chopped(2)));
    m_main->GetQuotes();
    QCOMPARE(cell(3, 4), QStringLiteral("3"));
    m_main->GetQuotes();
    QCOMPARE(cell(1, 4), QStringLiteral("4"));
    for (int r : {2, 3})
        for (int c = 0; c < 13; ++c)
            QCOMPARE(cell(r, c), QString());
    QCOMPARE(m_main->state().PreviousQuotes[3][4], QStringLiteral("3"));
}

void TestQuoteDownload::transferFailureKeepsTheGrid_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::newRow("http 404") << 0 << int(Transfer::ErrorHttpStatus);
    QTest::newRow("http 500") << 1 << int(Transfer::ErrorHttpStatus);
    QTest::newRow("connection reset") << 2 << int(Transfer::ErrorConnectionReset);
    QTest::newRow("body of 10 MB") << 3 << int(Transfer::ErrorBodyTooLarge);
    QTest::newRow("connection refused") << 4 << int(Transfer::ErrorConnectionRefused);
    QTest::newRow("host not found") << 5 << int(Transfer::ErrorHostNotFound);
    QTest::newRow("cancelled") << 6 << int(Transfer::ErrorCancelled);
    QTest::newRow("reset mid-body") << 7 << int(Transfer::ErrorConnectionReset);
    // Answers that are no quote text end the download silently.
    QTest::newRow("html page with 200") << 8 << 0;
    QTest::newRow("binary garbage") << 9 << 0;
    QTest::newRow("empty body") << 10 << 0;
}

void TestQuoteDownload::transferFailureKeepsTheGrid()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    startMain(true);
    setSymbols({QStringLiteral("MSFT"), QStringLiteral("IBM")});
    m_source->enqueue(
        FeedReply::text(quoteLine("MSFT", "57.67", "1000") + quoteLine("IBM", "80", "1")));
    m_main->GetQuotes();
    QCOMPARE(cell(1, 7), QStringLiteral("1,000"));

    switch (kind) {
    case 0:
        m_source->enqueue(FeedReply::error(404));
        break;
    case 1:
        m_source->enqueue(FeedReply::error(500));
        break;
    case 2:
        // A reset on a kept-alive connection is retried once by the network layer.
        m_source->enqueue(FeedReply::resetConnection());
        m_source->enqueue(FeedReply::resetConnection());
        break;
    case 3:
        m_source->enqueue(FeedReply::oversized(10 * 1024 * 1024));
        break;
    case 4: {
        QuoteFeed closed;
        const quint16 port = closed.start(QHostAddress::LocalHost, 0);
        QVERIFY(port != 0);
        closed.stop();
        m_main->options()->model().StockURL.set(QStringLiteral("http://127.0.0.1:%1").arg(port) +
                                                kDelayedPath);
        break;
    }
    case 5:
        m_main->options()->model().StockURL.set(QStringLiteral("http://quotes.invalid") +
                                                kDelayedPath);
        break;
    case 6:
        m_source->enqueue(FeedReply::never());
        QTimer::singleShot(50, m_main.get(), [this] { m_main->inetQuotes().Cancel(); });
        break;
    case 7: {
        const QByteArray body = quoteLine("MSFT", "99.99", "5") + quoteLine("IBM", "98", "5");
        m_source->enqueue(FeedReply::cutOff(body, 40));
        break;
    }
    case 8:
        m_source->enqueue(FeedReply::html("<!DOCTYPE html>\r\n<html><body>Please agree to our "
                                          "cookies, then reload.\r\n</body></html>\r\n"));
        break;
    case 9: {
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char((i * 7919 + 13) % 256);
        m_source->enqueue(FeedReply::text(garbage));
        break;
    }
    case 10:
        m_source->enqueue(FeedReply::text(QByteArray()));
        break;
    }
    m_platform->messageBox.answers.push_back(QMessageBox::Cancel);
    m_main->GetQuotes();
    QVERIFY(!m_main->quoteDownload().updating());
    verifyUsable();
    // The grid keeps the values of the last good download.
    QCOMPARE(cell(1, 4), QStringLiteral("57.67"));
    QCOMPARE(cell(1, 7), QStringLiteral("1,000"));
    QCOMPARE(cell(2, 0), QStringLiteral("IBM"));
    QCOMPARE(m_main->state().CurrentQuotes[1][4], QStringLiteral("57.67"));
    QVERIFY(m_main->state().ReplyText.isEmpty());

    // A transfer failure is reported, a cancel and an answer that is no quote text are not.
    if (code == 0 || code == Transfer::ErrorCancelled) {
        QVERIFY(m_platform->messageBox.shown.isEmpty());
    } else {
        QVERIFY2(m_platform->messageBox.shown.size() == 1,
                 qPrintable(QString::number(m_main->inetQuotes().ResponseCode()) + u' ' +
                            m_main->inetQuotes().ResponseInfo() + u' ' + cell(1, 4)));
        const FakeMessageBox::Shown &box = m_platform->messageBox.shown.first();
        QCOMPARE(box.title, QStringLiteral("Stock Quote Server Error"));
        QCOMPARE(box.icon, MessageBoxService::Icon::Warning);
        QCOMPARE(box.buttons, int(QMessageBox::Retry | QMessageBox::Cancel));
        QCOMPARE(m_main->inetQuotes().ResponseCode(), code);
        QCOMPARE(box.text, m_main->inetQuotes().ResponseInfo() +
                               QStringLiteral("\r\nError Number ") + QString::number(code));
        QVERIFY(!m_main->inetQuotes().ResponseInfo().isEmpty());
    }
    QVERIFY(!m_main->inetQuotes().StillExecuting());

    // The next good answer recovers fully.
    m_main->options()->model().StockURL.set(m_feed->baseUrl() + kDelayedPath);
    m_source->enqueue(
        FeedReply::text(quoteLine("MSFT", "58.00", "2000") + quoteLine("IBM", "81", "2")));
    m_main->GetQuotes();
    QCOMPARE(cell(1, 4), QStringLiteral("58.00"));
    QCOMPARE(cell(2, 7), QStringLiteral("2"));
    QCOMPARE(m_main->state().PreviousQuotes[1][4], QStringLiteral("57.67"));
    QCOMPARE(m_main->lampColor(), Colors::LampDone);
}

void TestQuoteDownload::retryDownloadsAgain()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT")});
    m_source->enqueue(FeedReply::error(500));
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "42.00", "7")));
    m_platform->messageBox.answers.push_back(QMessageBox::Retry);
    m_main->GetQuotes();
    QCOMPARE(cell(1, 4), QString());
    QTRY_COMPARE(cell(1, 4), QStringLiteral("42.00"));
    QCOMPARE(m_source->requests().size(), 2);
    QCOMPARE(m_platform->messageBox.shown.size(), 1);
}

void TestQuoteDownload::accessDenied()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT")});
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "1.00", "1")));
    m_source->enqueue(FeedReply::html("<html>ACCESS DENIED by proxy</html>\r\n"));
    m_main->GetQuotes();
    m_main->GetQuotes();
    QCOMPARE(m_platform->messageBox.shown.size(), 1);
    const FakeMessageBox::Shown &box = m_platform->messageBox.shown.first();
    QCOMPARE(box.title, QStringLiteral("Vantora Critical Error"));
    QCOMPARE(box.icon, MessageBoxService::Icon::Critical);
    QCOMPARE(box.buttons, int(QMessageBox::Ok));
    QCOMPARE(box.text,
             QStringLiteral(
                 "Access Denied error from server!\r\nIf you are accessing the Internet through a "
                 "proxy server please make sure your proxy settings in Options are correct. If "
                 "you are not using a proxy server then be sure to uncheck the \"Use Proxy "
                 "Server\" checkbox in Options.\r\nIf you change your proxy settings you must "
                 "close and restart Vantora."));
    QCOMPARE(cell(1, 4), QStringLiteral("1.00"));
}

void TestQuoteDownload::nothingWhileOptionsOpen()
{
    startMain(true);
    m_main->options()->show();
    m_main->GetQuotes();
    QVERIFY(m_source->requests().isEmpty());
    QCOMPARE(m_main->lampColor(), Colors::LampDone); // as the connection check painted it
    m_main->options()->hide();

    // No connection: nothing either, and the lamp is red.
    m_platform->connection.flags = 0;
    m_main->options()->model().StockURL.set(QStringLiteral("http://quotes.example.com") +
                                            kDelayedPath);
    m_main->options()->model().MarketURL.set(QString());
    m_main->options()->model().IndicesURL.set(QString());
    m_main->GetQuotes();
    QVERIFY(m_source->requests().isEmpty());
    QCOMPARE(m_main->lampColor(), Colors::LampOffline);

    // A chosen proxy lets the download through: the feed stands in for the proxy here.
    frmOptions *opt = m_main->options();
    opt->chkUseProxy()->setChecked(true);
    opt->txtProxyServer()->setText(QStringLiteral("127.0.0.1"));
    opt->txtProxyPort()->setText(QString::number(QUrl(m_feed->baseUrl()).port()));
    m_main->connectivity().SetProxy();
    m_main->GetQuotes();
    QVERIFY(!m_source->requests().isEmpty());
}

void TestQuoteDownload::realTimeModeUsesFixedTemplate()
{
    // The real-time template is fixed at the feed's default port.
    auto source = std::make_shared<ScriptedSource>(std::make_shared<MarketSource>(3));
    QuoteFeed fixed(source);
    if (fixed.start(QHostAddress::LocalHost, FeedConfig::kDefaultPort) == 0)
        QSKIP("the default feed port is taken on this machine");
    startMain(true);
    m_main->state().RealTimeMode = true;
    m_main->GetQuotes();
    QCOMPARE(source->requests(),
             QStringList{QStringLiteral("/download/quotes.csv?f=sb3b2k1k2vom2r2n=.csv&s=msft,csco,"
                                        "ibm,dell,")});
    QVERIFY(m_source->requests().isEmpty());
    auto *notice = m_main->form()->findChild<QLabel *>(QStringLiteral("lblDelayNotice"));
    QCOMPARE(notice->text(), QString());
    QCOMPARE(cell(1, 0), QStringLiteral("MSFT"));
    QVERIFY(!cell(1, 1).isEmpty() && !cell(1, 12).isEmpty());
}

void TestQuoteDownload::everyFeedSymbolFillsThirteenColumns()
{
    startMain(true);
    QStringList all;
    for (const Instrument &in : stockInstruments())
        all.append(QString::fromLatin1(in.symbol));
    QVERIFY(all.size() > 30);
    for (qsizetype from = 0; from < all.size(); from += 30) {
        const QStringList batch = all.mid(from, 30);
        setSymbols(batch);
        m_main->GetQuotes();
        QCOMPARE(grid()->rows(), int(batch.size()) + 1);
        for (int r = 1; r <= batch.size(); ++r) {
            const Instrument &in = stockInstruments()[size_t(from + r - 1)];
            QCOMPARE(cell(r, 0), QString::fromLatin1(in.symbol));
            QCOMPARE(cell(r, 12), QString::fromLatin1(in.name));
            for (int c = 1; c < 12; ++c)
                QVERIFY2(!cell(r, c).isEmpty() && !cell(r, c).contains(u'<'),
                         qPrintable(QStringLiteral("%1 column %2").arg(in.symbol).arg(c)));
            // Volumes of four digits and more are grouped.
            QString volume = cell(r, 7);
            QVERIFY2(volume.remove(u',').toLongLong() < 1000 || cell(r, 7).contains(u','),
                     qPrintable(cell(r, 7)));
        }
    }
    QVERIFY(m_platform->messageBox.shown.isEmpty());
}

void TestQuoteDownload::requestsDuringTheIndexDownloadRunOnceAfterIt()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT")});
    m_main->options()->chkIndex[0]->setChecked(true);
    FeedRequest index{"GET", QStringLiteral("/download/quotes.csv"),
                      QStringLiteral("f=nk1k2=.csv&s=%5Edji")};
    const QByteArray indexLine = MarketSource(3).answer(index).body;
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "1.00", "1")));
    m_source->enqueue(FeedReply::delayed(indexLine, 300));
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "2.00", "1")));
    m_source->enqueue(FeedReply::text(indexLine));

    // While the index answer is on its way: the Update button, a timer tick that reaches
    // the interval, and the Options window's request.
    int requestsMeanwhile = -1;
    QTimer::singleShot(100, m_main.get(), [&] {
        m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdUpdate"))->click();
        m_main->updateCycle().UpdateElapsed = 32000;
        m_main->updateCycle().timInterval_Timer();
        Q_EMIT m_main->quoteUpdateRequested();
        requestsMeanwhile = int(m_source->requests().size());
    });
    m_main->GetQuotes();
    QCOMPARE(requestsMeanwhile, 2);
    QCOMPARE(cell(1, 4), QStringLiteral("1.00"));
    QVERIFY(!m_main->state().TickerItems.value(0).isEmpty());
    QCOMPARE(m_main->lampColor(), Colors::LampDone);

    // Once the update has ended, the requests made meanwhile run as one update.
    QTRY_COMPARE(cell(1, 4), QStringLiteral("2.00"));
    QTRY_VERIFY(!m_main->quoteDownload().updating());
    QCOMPARE(m_source->requests().size(), 4);
    QCOMPARE(m_source->requests().filter(kDelayedPath).size(), 2);
    QCOMPARE(m_main->state().PreviousQuotes[1][4], QStringLiteral("1.00"));
    QVERIFY(!m_main->quoteDownload().updatePending());
}

void TestQuoteDownload::answerForAChangedListIsDropped()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT"), QStringLiteral("IBM")});
    m_source->enqueue(
        FeedReply::delayed(quoteLine("MSFT", "1.00", "1") + quoteLine("IBM", "2.00", "1"), 300));
    m_source->enqueue(
        FeedReply::text(quoteLine("DELL", "3.00", "1") + quoteLine("MSFT", "4.00", "1")));
    // The Options window is not modal: the list changes while the answer is on its way.
    QTimer::singleShot(100, m_main.get(), [&] {
        setSymbols({QStringLiteral("DELL"), QStringLiteral("MSFT")});
        Q_EMIT m_main->quoteUpdateRequested();
    });
    m_main->GetQuotes();
    QVERIFY(cell(1, 4).isEmpty());
    QVERIFY(m_main->state().CurrentQuotes[1][4].isEmpty());

    QTRY_COMPARE(cell(1, 4), QStringLiteral("3.00"));
    QCOMPARE(cell(2, 4), QStringLiteral("4.00"));
    QCOMPARE(m_source->requests(), (QStringList{kDelayedPath + QStringLiteral("msft,ibm,"),
                                                kDelayedPath + QStringLiteral("dell,msft,")}));
    QVERIFY(m_main->state().PreviousQuotes[2][4].isEmpty());
}

void TestQuoteDownload::alertShowsUntilTheNextDownload_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("defaults");
    for (const bool high : {false, true}) {
        for (const int row : {1, 2}) {
            for (const bool defaults : {true, false}) {
                QTest::addRow("%s alert, %s row, %s colours", high ? "high" : "low",
                              row == 1 ? "odd" : "even", defaults ? "default" : "user")
                    << high << row << defaults;
            }
        }
    }
}

// Through a whole download (sorting, row colours, the index download's repaint) the alert's
// colour is what the grid shows, until the next download finds the price back in bounds.
void TestQuoteDownload::alertShowsUntilTheNextDownload()
{
    QFETCH(bool, high);
    QFETCH(int, row);
    QFETCH(bool, defaults);
    startMain(true);
    m_main->form()->show();
    frmOptions *options = m_main->options();
    options->findChild<QCheckBox *>(QStringLiteral("chkUseDefaultColors"))->setChecked(defaults);
    m_main->options()->model().EvenRowColor.set(0x202020);
    m_main->options()->model().OddRowColor.set(0x404040);
    options->findChild<QCheckBox *>(QStringLiteral("chkEnableHighAlert"))->setChecked(high);
    options->findChild<QCheckBox *>(QStringLiteral("chkEnableLowAlert"))->setChecked(!high);
    options->findChild<QRadioButton *>(QStringLiteral("optAlertVisual"))->setChecked(true);
    setSymbols({});
    FlexGrid *symbols = options->findChild<FlexGrid *>(QStringLiteral("gridSymbols"));
    const QString alerting =
        high ? QStringLiteral("IBM\t0\t0.00\t50.00") : QStringLiteral("IBM\t0\t50.00\t0.00");
    symbols->addItem(row == 1 ? alerting : QStringLiteral("MSFT\t0\t0.00\t0.00"));
    symbols->addItem(row == 1 ? QStringLiteral("MSFT\t0\t0.00\t0.00") : alerting);
    grid()->setRows(3);
    const QColor alert = Colors::fromBgr(high ? Colors::HighAlert : Colors::Fall);
    const QByteArray beyond = high ? "60.00" : "40.00";
    const QByteArray within = high ? "45.00" : "55.00";
    for (const QByteArray &price : {beyond, within, beyond}) {
        const QByteArray msft = quoteLine("MSFT", "1.00", "1");
        const QByteArray ibm = quoteLine("IBM", price.constData(), "1");
        m_source->enqueue(FeedReply::text(row == 1 ? ibm + msft : msft + ibm));
        m_main->form()->cmdUpdate()->click();
        QTRY_VERIFY(!m_main->quoteDownload().updating());
        const bool hit = price == beyond;
        QCOMPARE(grid()->cellBackColor(row, 4) == alert, hit);
        QCOMPARE(shownBackColor(row, 4) == alert, hit);
        QVERIFY(shownBackColor(3 - row, 4) != alert);
    }
    // Below the last row the grid is dark grey.
    const QImage image = grid()->viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(2, image.height() - 2), Colors::fromBgr(Colors::DarkGrey));
    m_main->form()->hide();
}

void TestQuoteDownload::lampStaysRedAfterAFailedIndexDownload()
{
    startMain(true);
    m_main->options()->chkIndex[0]->setChecked(true);
    setSymbols({QStringLiteral("MSFT")});
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "1.00", "1")));
    m_source->enqueue(FeedReply::text("x")); // an index answer too short to be one
    m_main->GetQuotes();
    QCOMPARE(cell(1, 4), QStringLiteral("1.00"));
    QCOMPARE(m_main->lampColor(), Colors::LampOffline);
    // A whole update that gets through turns it green again.
    m_source->enqueue(FeedReply::text(quoteLine("MSFT", "1.00", "1")));
    m_main->GetQuotes();
    QCOMPARE(m_main->lampColor(), Colors::LampDone);
}

// A live source that keeps failing is named with its reason, once until a download gets
// through again; the grid keeps its quotes meanwhile.
void TestQuoteDownload::sourceFailureIsToldOncePerStreak()
{
    startMain(true);
    setSymbols({QStringLiteral("MSFT")});
    const QString reason = QStringLiteral("Yahoo Finance: too many requests, next try in 40 s");
    const FeedReply failure = FeedReply::failure(503, reason);
    for (const FeedReply &reply :
         {FeedReply::text(quoteLine("MSFT", "1.00", "1")), failure, failure,
          FeedReply::text(quoteLine("MSFT", "2.00", "1")), failure}) {
        m_source->enqueue(reply);
        m_platform->messageBox.answers.push_back(QMessageBox::Cancel);
        m_main->GetQuotes();
    }
    QCOMPARE(m_platform->messageBox.shown.size(), 2);
    for (const auto &box : m_platform->messageBox.shown) {
        QCOMPARE(box.title, QStringLiteral("Stock Quote Server Error"));
        QVERIFY2(box.text.section(u'\r', 0, 0).contains(reason), qPrintable(box.text));
    }
    QCOMPARE(cell(1, 4), QStringLiteral("2.00"));
}

// Add asks for a download while the Options window is open; it runs once OK closes it.
void TestQuoteDownload::symbolAddedInOptionsDownloadsAfterOk()
{
    startMain();
    QTRY_VERIFY(!m_main->quoteDownload().updating());
    m_main->options()->findChild<QCheckBox *>(QStringLiteral("chkQuoteUpdate"))->setChecked(false);
    m_main->form()->cmdOptions()->click();
    frmOptions *opt = m_main->options();
    opt->txtSymbol()->setText(QStringLiteral("orcl"));
    opt->cmdAdd()->click();
    const qsizetype before = m_source->requests().size();
    opt->cmdOK()->click();
    QTRY_COMPARE(cell(5, 0), QStringLiteral("ORCL"));
    QVERIFY(!cell(5, 4).isEmpty());
    QCOMPARE(m_source->requests().value(before),
             kDelayedPath + QStringLiteral("msft,csco,ibm,dell,orcl,"));
}

void TestQuoteDownload::previousPriceFollowsTheSymbol_data()
{
    // The list as the third download finds it, after two filled MSFT, IBM, DELL (MSFT rose);
    // ok: the change was confirmed with OK (the first download after it colours nothing),
    // else with Cancel.
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("ok");
    for (const bool ok : {true, false}) {
        const char *how = ok ? "OK" : "Cancel";
        QTest::addRow("first row removed, %s", how) << QStringList{"IBM", "DELL"} << ok;
        QTest::addRow("rows swapped, %s", how) << QStringList{"DELL", "IBM", "MSFT"} << ok;
        QTest::addRow("row replaced, %s", how) << QStringList{"MSFT", "ORCL", "DELL"} << ok;
    }
}

// The same prices after the list changed: each symbol is compared with its own last price,
// so nothing rose or fell (and no log line is due), and a row that now holds another stock
// keeps none of the old stock's colours.
void TestQuoteDownload::previousPriceFollowsTheSymbol()
{
    QFETCH(QStringList, after);
    QFETCH(bool, ok);
    QHash<QString, QByteArray> price{{"MSFT", "10.00"}, {"IBM", "20.00"}, {"DELL", "30.00"}};
    const auto answer = [&](const QStringList &symbols) {
        QByteArray body;
        for (const QString &symbol : symbols)
            body += quoteLine(symbol.toLatin1().constData(), price[symbol].constData(), "1");
        return FeedReply::text(body);
    };
    startMain(true);
    setSymbols({"MSFT", "IBM", "DELL"});
    m_source->enqueue(answer({"MSFT", "IBM", "DELL"}));
    m_main->GetQuotes();
    price["MSFT"] = "11.00";
    m_source->enqueue(answer({"MSFT", "IBM", "DELL"}));
    m_main->GetQuotes();
    QCOMPARE(grid()->cellForeColor(1, 4), Colors::fromBgr(Colors::Rise));

    setSymbols(after);
    m_main->state().SymbolsChanged = ok;
    price["ORCL"] = "40.00";
    m_source->enqueue(answer(after));
    m_main->GetQuotes();
    const QColor plain = Colors::fromBgr(m_main->state().GridTextColor);
    for (int r = 1; r <= after.size(); ++r) {
        const QString &symbol = after[r - 1];
        QCOMPARE(cell(r, 0), symbol);
        // Only an untouched cell keeps its colour from before (OK: nothing is coloured).
        const bool keeps = ok && symbol == u"MSFT" && r == 1;
        QCOMPARE(grid()->cellForeColor(r, 4), keeps ? Colors::fromBgr(Colors::Rise) : plain);
        QCOMPARE(m_main->state().PreviousQuotes[r][4],
                 symbol == u"ORCL" ? QString() : QString::fromLatin1(price[symbol]));
    }
}

QTEST_MAIN(TestQuoteDownload)
#include "tst_quotedownload.moc"
