#include "FeedSources.h"
#include "QuoteFeed.h"
#include "ScriptedSource.h"
#include "StooqSource.h"
#include "YahooSource.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Short waits so that the retries and turns of a test take milliseconds.
UpstreamPolicy quickPolicy()
{
    UpstreamPolicy policy;
    policy.minIntervalMs = 20;
    policy.timeoutMs = 3000;
    policy.retries = 2;
    policy.backoffMs = 20;
    policy.cacheMs = 60000;
    return policy;
}

FeedReply recorded(const char *file)
{
    QFile f(QStringLiteral(VANTORA_UPSTREAM_DIR "/") + QLatin1String(file));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing recorded answer %s", file);
    return FeedReply::text(f.readAll());
}

// A local server that plays the upstream: it answers from a script and records every
// request.
struct FakeUpstream
{
    std::shared_ptr<ScriptedSource> script = std::make_shared<ScriptedSource>();
    QuoteFeed server{script};
    QUrl url;
    FakeUpstream() { url = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server.start())); }
    void yahooSession(const QByteArray &crumb)
    {
        script->enqueue(FeedReply::error(404)); // the cookie page
        script->enqueue(FeedReply::text(crumb));
    }
};

// Asks a source and waits for its answer, as the feed does.
FeedReply ask(QuoteSource &source, const QString &target)
{
    FeedRequest request;
    request.method = "GET";
    const qsizetype q = target.indexOf(u'?');
    request.path = target.left(q);
    request.query = q < 0 ? QString() : target.mid(q + 1);
    auto reply = std::make_shared<std::optional<FeedReply>>();
    source.answerAsync(request, [reply](FeedReply r) { *reply = std::move(r); });
    QElapsedTimer waited;
    waited.start();
    while (!*reply && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return reply->value_or(FeedReply::failure(0, QStringLiteral("no answer")));
}

const QByteArray kMsftDelayed =
    "\"MSFT\",420.99,11.56,\"4:00pm - <b>420.21</b>\",\"-0.78 - -0.19%\","
    "15352169,422.54,\"418.03 - 422.92\",36.35,\"Microsoft Corporation\","
    "2.93,0.70,19234567,309.45,433.60,\"NasdaqGS\"\r\n";

} // namespace

class TestLiveSources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void yahooMapsTheQuoteEndpoint_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("upstreamQuery");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("delayed") << "f=spelcvomrn=.csv&s=msft,"
                                 << "symbols=MSFT&crumb=ab%2Fc" << kMsftDelayed;
        QTest::newRow("real time")
            << "f=sb3b2k1k2vom2r2n=.csv&s=msft,"
            << "symbols=MSFT&crumb=ab%2Fc"
            << QByteArray("\"MSFT\",420.10,420.30,\"4:00pm - <b>420.21</b>\",\"-0.78 - -0.19%\","
                          "15352169,422.54,\"418.03 - 422.92\",36.35,\"Microsoft Corporation\","
                          "2.93,0.70,19234567,309.45,433.60,\"NasdaqGS\"\r\n");
        QTest::newRow("index") << "f=nk1k2=.csv&s=^dji"
                               << "symbols=%5EDJI&crumb=ab%2Fc"
                               << QByteArray("\"Dow Jones Industrial Average\",\"4:00pm - "
                                             "<b>40003.59</b>\",\"+134.21 - +0.34%\",39869.38,"
                                             "39878.00,39837.60,40051.05,32327.20,40051.05\r\n");
        QTest::newRow("below one, unknown, bad")
            << "f=sl1c1pbn&s=pnny,zzzz,ms!ft,"
            << "symbols=PNNY,ZZZZ&crumb=ab%2Fc"
            << QByteArray("\"PNNY\",0.4567,+0.0123,0.4444,N/A,\"Penny Mining Inc.\",N/A,N/A,N/A,"
                          "N/A,N/A,N/A\r\n"
                          "\"ZZZZ\",N/A,N/A,N/A,N/A,\"ZZZZ\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"
                          "\"MSFT\",N/A,N/A,N/A,N/A,\"MSFT\",N/A,N/A,N/A,N/A,N/A,N/A\r\n");
    }
    void yahooMapsTheQuoteEndpoint()
    {
        QFETCH(QString, query);
        QFETCH(QString, upstreamQuery);
        QFETCH(QByteArray, answer);
        FakeUpstream upstream;
        upstream.yahooSession("ab/c");
        upstream.script->enqueue(recorded("yahoo_quote.json"));
        YahooSource yahoo(upstream.url, quickPolicy());
        const FeedReply reply = ask(yahoo, "/download/quotes.csv?" + query);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.body, answer);
        QCOMPARE(upstream.script->requests(),
                 (QStringList{"/", "/v1/test/getcrumb", "/v7/finance/quote?" + upstreamQuery}));
    }

    void yahooRenewsTheSessionOnceOn401()
    {
        FakeUpstream upstream;
        upstream.yahooSession("old");
        upstream.script->enqueue(FeedReply::error(401));
        upstream.yahooSession("new");
        upstream.script->enqueue(recorded("yahoo_quote.json"));
        YahooSource yahoo(upstream.url, quickPolicy());
        const FeedReply reply = ask(yahoo, "/download/quotes.csv?f=spelcvomrn=.csv&s=msft,");
        QCOMPARE(reply.body, kMsftDelayed);
        const QStringList requests = upstream.script->requests();
        QCOMPARE(requests.size(), 6);
        QCOMPARE(requests.at(2), QString("/v7/finance/quote?symbols=MSFT&crumb=old"));
        QCOMPARE(requests.at(3), QString("/"));
        QCOMPARE(requests.at(5), QString("/v7/finance/quote?symbols=MSFT&crumb=new"));
    }

    void yahooFallsBackToTheChartEndpoint()
    {
        FakeUpstream upstream;
        upstream.yahooSession("c");
        upstream.script->enqueue(FeedReply::html("<html><body>Before you continue</body></html>"));
        upstream.script->enqueue(recorded("yahoo_chart_msft.json"));
        FeedReply unknown = recorded("yahoo_chart_unknown.json");
        unknown.status = 404;
        upstream.script->enqueue(unknown);
        YahooSource yahoo(upstream.url, quickPolicy());
        const FeedReply reply = ask(yahoo, "/download/quotes.csv?f=spelcvomrn=.csv&s=msft,zzzz,");
        QCOMPARE(reply.status, 200);
        // The chart has no EPS, open, P/E, dividend or average volume.
        QCOMPARE(reply.body,
                 QByteArray("\"MSFT\",420.99,N/A,\"4:00pm - <b>420.21</b>\",\"-0.78 - -0.19%\","
                            "15352169,N/A,\"418.03 - 422.92\",N/A,\"Microsoft Corporation\",N/A,"
                            "N/A,N/A,309.45,433.60,\"NasdaqGS\"\r\n"
                            "\"ZZZZ\",N/A,N/A,\"N/A - <b>N/A</b>\",\"N/A - N/A\",N/A,N/A,"
                            "\"N/A - N/A\",N/A,\"ZZZZ\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
        QCOMPARE(upstream.script->requests().mid(3),
                 (QStringList{"/v8/finance/chart/MSFT?range=1d&interval=1d",
                              "/v8/finance/chart/ZZZZ?range=1d&interval=1d"}));
    }

    void stooqMapsTheCsv()
    {
        FakeUpstream upstream;
        upstream.script->enqueue(recorded("stooq_msft.csv"));
        upstream.script->enqueue(recorded("stooq_unknown.csv"));
        upstream.script->enqueue(recorded("stooq_spx.csv"));
        StooqSource stooq(upstream.url, quickPolicy());
        const FeedReply reply = ask(stooq, "/download/quotes.csv?f=spelcvomrn=.csv&s=msft,zzzz,");
        QCOMPARE(reply.status, 200);
        QCOMPARE(
            reply.body,
            QByteArray("\"MSFT\",N/A,N/A,\"4:00pm - <b>420.21</b>\",\"N/A - N/A\",15352169,"
                       "422.54,\"418.03 - 422.92\",N/A,\"MICROSOFT\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"
                       "\"ZZZZ\",N/A,N/A,\"N/A - <b>N/A</b>\",\"N/A - N/A\",N/A,N/A,"
                       "\"N/A - N/A\",N/A,\"ZZZZ\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
        const FeedReply index = ask(stooq, "/download/quotes.csv?f=nk1k2=.csv&s=^gspc");
        QCOMPARE(index.body, QByteArray("\"S&P 500\",\"4:00pm - <b>5303.27</b>\",\"N/A - N/A\",N/A,"
                                        "5303.10,5283.59,5305.45,N/A,N/A\r\n"));
        QCOMPARE(upstream.script->requests(),
                 (QStringList{"/q/l/?s=msft.us&f=sd2t2ohlcvn&h&e=csv",
                              "/q/l/?s=zzzz.us&f=sd2t2ohlcvn&h&e=csv",
                              "/q/l/?s=%5Espx&f=sd2t2ohlcvn&h&e=csv"}));
    }

    void failuresAnswerWithOneLineAndRetriesAreBounded_data()
    {
        QTest::addColumn<QList<FeedReply>>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("requests");
        const FeedReply csv = recorded("stooq_msft.csv");
        QTest::newRow("HTML with 200")
            << QList<FeedReply>{FeedReply::html("<!DOCTYPE html><p>consent</p>")} << 502
            << "HTML page" << 1;
        QTest::newRow("429 keeps coming")
            << QList<FeedReply>{FeedReply::error(429), FeedReply::error(429), FeedReply::error(429)}
            << 503 << "429" << 3;
        QTest::newRow("429 then data")
            << QList<FeedReply>{FeedReply::error(429), csv} << 200 << "" << 2;
        QTest::newRow("5xx keeps coming")
            << QList<FeedReply>{FeedReply::error(500), FeedReply::error(502), FeedReply::error(500)}
            << 502 << "500" << 3;
        QTest::newRow("time-out") << QList<FeedReply>{FeedReply::never(), FeedReply::never(),
                                                      FeedReply::never()}
                                  << 503 << "time-out" << 3;
        QTest::newRow("not the CSV")
            << QList<FeedReply>{FeedReply::text("Exceeded the daily hits limit")} << 502
            << "unexpected" << 1;
    }
    void failuresAnswerWithOneLineAndRetriesAreBounded()
    {
        QFETCH(QList<FeedReply>, script);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(int, requests);
        FakeUpstream upstream;
        for (const FeedReply &reply : script)
            upstream.script->enqueue(reply);
        UpstreamPolicy policy = quickPolicy();
        policy.timeoutMs = 300;
        StooqSource stooq(upstream.url, policy);
        const FeedReply reply = ask(stooq, "/download/quotes.csv?f=sl1&s=msft");
        QCOMPARE(reply.status, status);
        if (status != 200) {
            QVERIFY2(reply.body.endsWith("\r\n") && reply.body.count('\n') == 1,
                     reply.body.constData());
            QVERIFY2(reply.body.startsWith("Stooq: ") && reply.body.contains(reason.toLatin1()),
                     reply.body.constData());
        }
        QCOMPARE(upstream.script->requests().size(), requests);
    }

    void cachedAndBadSymbolsStayHome()
    {
        FakeUpstream upstream;
        upstream.script->enqueue(recorded("stooq_msft.csv"));
        StooqSource stooq(upstream.url, quickPolicy());
        const FeedReply first = ask(stooq, "/download/quotes.csv?f=sl1&s=msft,");
        const FeedReply again = ask(stooq, "/download/quotes.csv?f=sl1&s=MSFT,%3Cx%3E,");
        QCOMPARE(first.body.left(15), QByteArray("\"MSFT\",420.21,N"));
        QVERIFY(again.body.startsWith(first.body));
        QVERIFY(again.body.endsWith("\"X\",N/A,N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
        // Seventeen characters, a blank, a quote: none goes upstream.
        const FeedReply bad =
            ask(stooq, "/download/quotes.csv?f=sl1&s=abcdefghijklmnopq,a%20b,a%22b");
        QCOMPARE(bad.status, 200);
        QCOMPARE(bad.body.count("\r\n"), 3);
        QCOMPARE(upstream.script->requests().size(), 1);
    }

    void upstreamRequestsWaitForTheirTurn()
    {
        FakeUpstream upstream;
        for (int i = 0; i < 3; ++i)
            upstream.script->enqueue(recorded("stooq_unknown.csv"));
        QElapsedTimer clock;
        clock.start();
        QList<qint64> arrivals;
        QObject::connect(&upstream.server, &QuoteFeed::requestServed,
                         [&] { arrivals.append(clock.elapsed()); });
        UpstreamPolicy policy = quickPolicy();
        policy.minIntervalMs = 150;
        StooqSource stooq(upstream.url, policy);
        QCOMPARE(ask(stooq, "/download/quotes.csv?f=s&s=aa,bb,cc").status, 200);
        QCOMPARE(arrivals.size(), 3);
        for (int i = 1; i < 3; ++i)
            QVERIFY2(arrivals.at(i) - arrivals.at(i - 1) >= 120,
                     qPrintable(QString::number(arrivals.at(i) - arrivals.at(i - 1))));
    }

    void theFeedAnswersWhileTheUpstreamIsSlowAndOnSwitching()
    {
        FakeUpstream upstream;
        upstream.script->enqueue(FeedReply::never());
        QuoteFeed feed(FeedSources::make(QStringLiteral("stooq"), upstream.url));
        const quint16 port = feed.start();
        QNetworkAccessManager network;
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
        QNetworkReply *quotes =
            network.get(QNetworkRequest(QUrl(base + "/download/quotes.csv?f=sl1&s=msft")));
        QTRY_COMPARE(upstream.script->requests().size(), 1);
        QNetworkReply *page = network.get(QNetworkRequest(QUrl(base + "/vantora/")));
        QTRY_VERIFY(page->isFinished());
        QCOMPARE(page->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY(page->readAll().contains("Stooq"));
        QVERIFY(!quotes->isFinished());
        // Switching the source answers what waited on the old one.
        feed.setSource(FeedSources::make(QStringLiteral("simulated")));
        QTRY_VERIFY(quotes->isFinished());
        QCOMPARE(quotes->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 503);
    }
};

QTEST_GUILESS_MAIN(TestLiveSources)
#include "tst_livesources.moc"
