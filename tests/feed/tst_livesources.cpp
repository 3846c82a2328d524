#include "feed/FeedSources.h"
#include "feed/FinnhubSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"
#include "feed/StooqSource.h"
#include "feed/YahooSource.h"
#include "support/StandInUpstream.h"

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
    policy.limits = {RateLimit{50, 1000}};
    policy.timeoutMs = 3000;
    policy.retries = 2;
    policy.backoffMs = 20;
    policy.stockFreshMs = 60000;
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

// "MSFT,56.81 ZZZZ,N/A": symbol and last of each line of an "sl1" answer; any other
// answer as it is.
QByteArray symbolsAndLast(const QByteArray &body)
{
    if (!body.startsWith('"'))
        return body;
    QByteArrayList lines;
    for (const QByteArray &line : body.trimmed().split('\n')) {
        const QByteArrayList fields = line.trimmed().split(',');
        lines.append(fields.value(0).mid(1).chopped(1) + ',' + fields.value(1));
    }
    return lines.join(' ');
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
        QTest::addColumn<int>("sent");
        QTest::newRow("delayed") << "f=spelcvomrn=.csv&s=msft,"
                                 << "symbols=MSFT&crumb=ab%2Fc" << kMsftDelayed << 1;
        QTest::newRow("real time")
            << "f=sb3b2k1k2vom2r2n=.csv&s=msft,"
            << "symbols=MSFT&crumb=ab%2Fc"
            << QByteArray("\"MSFT\",420.10,420.30,\"4:00pm - <b>420.21</b>\",\"-0.78 - -0.19%\","
                          "15352169,422.54,\"418.03 - 422.92\",36.35,\"Microsoft Corporation\","
                          "2.93,0.70,19234567,309.45,433.60,\"NasdaqGS\"\r\n")
            << 1;
        QTest::newRow("index") << "f=nk1k2=.csv&s=^dji"
                               << "symbols=%5EDJI,%5EDJA,"
                               << QByteArray("\"Dow Jones Industrial Average\",\"4:00pm - "
                                             "<b>40003.59</b>\",\"+134.21 - +0.34%\",39869.38,"
                                             "39878.00,39837.60,40051.05,32327.20,40051.05\r\n")
                               << 42;
        QTest::newRow("below one, unknown, bad")
            << "f=sl1c1pbn&s=pnny,zzzz,ms!ft,"
            << "symbols=PNNY,ZZZZ&crumb=ab%2Fc"
            << QByteArray("\"PNNY\",0.4567,+0.0123,0.4444,N/A,\"Penny Mining Inc.\",N/A,N/A,N/A,"
                          "N/A,N/A,N/A\r\n"
                          "\"ZZZZ\",N/A,N/A,N/A,N/A,\"ZZZZ\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"
                          "\"MSFT\",N/A,N/A,N/A,N/A,\"MSFT\",N/A,N/A,N/A,N/A,N/A,N/A\r\n")
            << 2;
    }
    void yahooMapsTheQuoteEndpoint()
    {
        QFETCH(QString, query);
        QFETCH(QString, upstreamQuery);
        QFETCH(QByteArray, answer);
        QFETCH(int, sent);
        FakeUpstream upstream;
        upstream.yahooSession("ab/c");
        upstream.script->enqueue(recorded("yahoo_quote.json"));
        YahooSource yahoo(upstream.url, quickPolicy());
        const FeedReply reply = ask(yahoo, "/download/quotes.csv?" + query);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.body, answer);
        const QStringList requests = upstream.script->requests();
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests.mid(0, 2), (QStringList{"/", "/v1/test/getcrumb"}));
        // The other indices of the ticker ride along with the one asked for.
        QVERIFY2(requests.at(2).startsWith("/v7/finance/quote?" + upstreamQuery),
                 qPrintable(requests.at(2)));
        QVERIFY(requests.at(2).endsWith("&crumb=ab%2Fc"));
        const QString symbols = requests.at(2).section(u'=', 1).section(u'&', 0, 0);
        QCOMPARE(symbols.count(u',') + 1, sent);
    }

    void yahooTriesTheQuoteEndpointOncePerRest()
    {
        // A session kept from an earlier answer is renewed once on a 401; a refusal with a
        // session just made is the endpoint's answer, and it then rests.
        FakeUpstream upstream;
        upstream.yahooSession("old");
        upstream.script->enqueue(recorded("yahoo_quote.json"));
        upstream.script->enqueue(FeedReply::error(401));
        upstream.yahooSession("new");
        upstream.script->enqueue(FeedReply::error(401));
        upstream.script->setFallback(std::make_shared<StandInUpstream>());
        UpstreamPolicy policy = quickPolicy();
        policy.stockFreshMs = 0;
        YahooSource yahoo(upstream.url, policy);
        QCOMPARE(ask(yahoo, "/download/quotes.csv?f=spelcvomrn=.csv&s=msft,").body, kMsftDelayed);
        const FeedReply renewed = ask(yahoo, "/download/quotes.csv?f=sl1&s=msft,ibm");
        QCOMPARE(renewed.status, 200);
        QCOMPARE(symbolsAndLast(renewed.body), QByteArray("MSFT,56.81 IBM,159.05"));
        QCOMPARE(ask(yahoo, "/download/quotes.csv?f=sl1&s=msft,ibm").status, 200);
        QCOMPARE(upstream.script->requests(),
                 (QStringList{"/", "/v1/test/getcrumb", "/v7/finance/quote?symbols=MSFT&crumb=old",
                              "/v7/finance/quote?symbols=MSFT,IBM&crumb=old", "/",
                              "/v1/test/getcrumb", "/v7/finance/quote?symbols=MSFT,IBM&crumb=new",
                              "/v7/finance/spark?symbols=MSFT,IBM&range=1d&interval=1d",
                              "/v7/finance/spark?symbols=MSFT,IBM&range=1d&interval=1d"}));
    }

    void yahooFetchesInBatchesOrPerSymbol_data()
    {
        QTest::addColumn<bool>("spark");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("spark") << true
                               << QStringList{"/", "/v1/test/getcrumb", "/v7/finance/quote",
                                              "/v7/finance/spark"};
        QTest::newRow("chart") << false
                               << QStringList{"/",
                                              "/v1/test/getcrumb",
                                              "/v7/finance/quote",
                                              "/v7/finance/spark",
                                              "/v8/finance/chart/MSFT",
                                              "/v8/finance/chart/ZZZZ"};
    }
    void yahooFetchesInBatchesOrPerSymbol()
    {
        QFETCH(bool, spark);
        QFETCH(QStringList, paths);
        StandInServer upstream;
        upstream.upstream->sparkOffered = spark;
        YahooSource yahoo(upstream.url, quickPolicy());
        const FeedReply reply = ask(yahoo, "/download/quotes.csv?f=spelcvomrn=.csv&s=msft,zzzz,");
        QCOMPARE(reply.status, 200);
        // Spark and chart have no EPS, open, P/E, dividend or average volume.
        QCOMPARE(reply.body,
                 QByteArray("\"MSFT\",56.81,N/A,\"4:00pm - <b>56.81</b>\",\"0.00 - 0.00%\","
                            "1000000,N/A,\"56.24 - 57.38\",N/A,\"Microsoft Corporation\",N/A,"
                            "N/A,N/A,N/A,N/A,\"NasdaqNM\"\r\n"
                            "\"ZZZZ\",N/A,N/A,\"N/A - <b>N/A</b>\",\"N/A - N/A\",N/A,N/A,"
                            "\"N/A - N/A\",N/A,\"ZZZZ\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
        QStringList seen;
        for (const QString &request : upstream.upstream->requests)
            seen.append(request.section(u'?', 0, 0));
        seen.sort();
        paths.sort();
        QCOMPARE(seen, paths);
    }

    void yahooUpdateCycleThroughTheFeed()
    {
        // Vantora's cycle: the stocks in one request, then each index alone; then again.
        StandInServer upstream;
        QuoteFeed feed(FeedSources::make(QStringLiteral("yahoo"), upstream.url));
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(feed.start());
        QStringList stocks;
        for (const Instrument &in : stockInstruments().first(10))
            stocks.append(QString::fromLatin1(in.symbol).toLower());
        QNetworkAccessManager network;
        auto fetch = [&](const QString &query) {
            QNetworkReply *reply =
                network.get(QNetworkRequest(QUrl(base + "/download/quotes.csv?" + query)));
            QSignalSpy finished(reply, &QNetworkReply::finished);
            finished.wait(20000);
            reply->deleteLater();
            return std::make_pair(
                reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                reply->readAll());
        };
        for (int cycle = 0; cycle < 2; ++cycle) {
            const auto [status, body] = fetch("f=spelcvomrn=.csv&s=" + stocks.join(u','));
            QCOMPARE(status, 200);
            QCOMPARE(body.count("\r\n"), 10);
            QVERIFY2(!body.contains("N/A - <b>N/A"), body.constData());
            for (const Instrument &in : indexInstruments()) {
                const auto [status, body] =
                    fetch("f=nk1k2=.csv&s=" + QString::fromLatin1(in.symbol).toLower());
                QCOMPARE(status, 200);
                QVERIFY2(!body.contains("N/A - <b>N/A"), body.constData());
            }
        }
        // Session and refused quote endpoint, one spark for the stocks, three for the
        // indices; the second cycle comes from the cache.
        const StandInUpstream &stand = *upstream.upstream;
        QCOMPARE(stand.requests.size(), 7);
        QCOMPARE(stand.count(u"/v7/finance/quote"), 1);
        QCOMPARE(stand.count(u"/v7/finance/spark"), 4);
        // Never more than two requests in a second: they leave 1.1 s apart, and a busy test
        // machine may be slow to take one in.
        for (qsizetype i = 2; i < stand.arrivals.size(); ++i)
            QVERIFY2(stand.arrivals.at(i) - stand.arrivals.at(i - 2) >= 900,
                     qPrintable(QString::number(stand.arrivals.at(i) - stand.arrivals.at(i - 2))));
    }

    void theCacheAnswersFirst_data()
    {
        QTest::addColumn<int>("freshMs");
        QTest::addColumn<int>("maxAgeMs");
        QTest::addColumn<FeedReply>("second"); // the upstream's answer to the refresh
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("price");
        QTest::addColumn<int>("requests");
        const FeedReply newer = recorded("stooq_msft.csv"); // 420.21
        FeedReply slow = newer;
        slow.delayMs = 5000;
        QTest::newRow("fresh") << 60000 << 60000 << newer << 200 << QByteArray("56.81") << 1;
        QTest::newRow("refreshed") << 0 << 60000 << newer << 200 << QByteArray("420.21") << 2;
        QTest::newRow("upstream slow") << 0 << 60000 << slow << 200 << QByteArray("56.81") << 2;
        QTest::newRow("upstream fails")
            << 0 << 60000 << FeedReply::error(404) << 200 << QByteArray("56.81") << 2;
        QTest::newRow("too old") << 0 << 1 << FeedReply::error(404) << 502 << QByteArray() << 2;
    }
    void theCacheAnswersFirst()
    {
        QFETCH(int, freshMs);
        QFETCH(int, maxAgeMs);
        QFETCH(FeedReply, second);
        QFETCH(int, status);
        QFETCH(QByteArray, price);
        QFETCH(int, requests);
        FakeUpstream upstream;
        upstream.script->enqueue(
            FeedReply::text("Symbol,Date,Time,Open,High,Low,Close,Volume,Name\n"
                            "MSFT.US,2024-05-17,22:00:09,1,1,1,56.81,1,M\n"));
        upstream.script->enqueue(second);
        UpstreamPolicy policy = quickPolicy();
        policy.stockFreshMs = freshMs;
        policy.maxAgeMs = maxAgeMs;
        policy.staleWaitMs = 1000;
        StooqSource stooq(upstream.url, policy);
        QCOMPARE(ask(stooq, "/download/quotes.csv?f=sl1&s=msft").status, 200);
        // The first quote must be older than the largest age that may be served: on a fast
        // machine the refresh could otherwise fail within the same millisecond.
        QElapsedTimer cached;
        cached.start();
        while (cached.elapsed() <= qMin(maxAgeMs, 10))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const FeedReply reply = ask(stooq, "/download/quotes.csv?f=sl1&s=msft");
        QVERIFY2(reply.status == status, reply.body.constData());
        QCOMPARE(reply.body.split(',').value(1).trimmed(), price);
        QCOMPARE(upstream.script->requests().size(), requests);
    }

    void keysAreSentAndNeverShown_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("requests");
        QTest::newRow("stooq, key refused")
            << "stooq"
            << "k&y/1"
            << "s=msft" << 503
            << QByteArray("Stooq asks for an API key; the key given was not accepted\r\n") << 1;
        QTest::newRow("stooq, key") << "stooq"
                                    << "st-key"
                                    << "s=msft" << 200 << QByteArray("MSFT,56.81") << 1;
        QTest::newRow("finnhub") << "finnhub"
                                 << "fh-key"
                                 << "s=msft,zzzz" << 200 << QByteArray("MSFT,56.81 ZZZZ,N/A") << 2;
        QTest::newRow("finnhub, index") << "finnhub"
                                        << "fh-key"
                                        << "s=^gspc" << 200 << QByteArray("^GSPC,N/A") << 0;
        QTest::newRow("finnhub, key refused")
            << "finnhub"
            << "s3cr3t"
            << "s=msft" << 503 << QByteArray("the Finnhub key was refused\r\n") << 1;
        QTest::newRow("finnhub, no key") << "finnhub"
                                         << ""
                                         << "s=msft" << 503
                                         << QByteArray("Finnhub needs an API key, and none is "
                                                       "set\r\n")
                                         << 0;
    }
    void keysAreSentAndNeverShown()
    {
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(QString, query);
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        QFETCH(int, requests);
        StandInServer upstream;
        upstream.upstream->stooqKey = QStringLiteral("st-key");
        auto live = FeedSources::make(source, upstream.url, 1, quickPolicy(), key);
        const FeedReply reply = ask(*live, "/download/quotes.csv?f=sl1&" + query);
        QCOMPARE(reply.status, status);
        QCOMPARE(symbolsAndLast(reply.body), answer);
        QCOMPARE(upstream.upstream->requests.size(), requests);
        if (!key.isEmpty()) {
            QVERIFY(!reply.body.contains(key.toUtf8()));
            for (const QString &request : upstream.upstream->requests)
                QVERIFY(request.contains(QUrl::toPercentEncoding(key)));
            for (const char *path : {"/", "/m1", "/vantora/"})
                QVERIFY(!ask(*live, QString::fromLatin1(path)).body.contains(key.toUtf8()));
        }
    }

    void theTestButtonSaysWhatHappened_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("tooMany");
        QTest::addColumn<QString>("message");
        QTest::newRow("price") << "finnhub"
                               << "fh-key" << 0 << "Finnhub answered: MSFT 56.81";
        QTest::newRow("key refused") << "finnhub"
                                     << "wrong" << 0 << "the Finnhub key was refused";
        QTest::newRow("check page") << "stooq"
                                    << "" << 0 << "Stooq asks for an API key";
        QTest::newRow("too many requests")
            << "yahoo"
            << "" << 1 << "Yahoo Finance: too many requests, next try in 30 s";
        QTest::newRow("no answer") << "stooq"
                                   << "st-key" << -1 << "No answer from Stooq within 1 s";
        QTest::newRow("not live") << "simulated"
                                  << "" << 0
                                  << "Simulated market needs no test: it is not a live source";
    }
    void theTestButtonSaysWhatHappened()
    {
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(int, tooMany);
        QFETCH(QString, message);
        StandInServer upstream;
        upstream.upstream->stooqKey = QStringLiteral("st-key");
        upstream.upstream->tooManyFor = std::max(tooMany, 0);
        upstream.upstream->retryAfter = "30";
        upstream.upstream->latencyMs = tooMany < 0 ? 5000 : 0;
        const int timeoutMs = tooMany < 0 ? 1000 : 20000;
        QString said;
        int calls = 0;
        FeedSources::check(
            source, key,
            [&](const QString &text) {
                said = text;
                ++calls;
            },
            upstream.url, timeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(said, message, 30000);
        QCOMPARE(calls, 1);
    }

    void stooqMapsTheCsv()
    {
        FakeUpstream upstream;
        upstream.script->enqueue(recorded("stooq_msft.csv"));
        upstream.script->enqueue(recorded("stooq_unknown.csv"));
        upstream.script->enqueue(recorded("stooq_spx.csv"));
        UpstreamPolicy policy = quickPolicy();
        policy.maxInFlight = 1; // the script answers in the order asked
        StooqSource stooq(upstream.url, policy);
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
        QTest::newRow("check page with 200")
            << QList<FeedReply>{FeedReply::html("<!DOCTYPE html><p>consent</p>")} << 503
            << "asks for an API key" << 1;
        QTest::newRow("429 keeps coming")
            << QList<FeedReply>{FeedReply::error(429), FeedReply::error(429), FeedReply::error(429)}
            << 503 << "too many requests" << 3;
        QTest::newRow("429 then data")
            << QList<FeedReply>{FeedReply::error(429), csv} << 200 << "" << 2;
        // A Retry-After holds the whole source; a moment's one is simply waited for.
        const auto tooMany = [](const QByteArray &retryAfter) {
            FeedReply reply = FeedReply::error(429);
            reply.headers.append({"Retry-After", retryAfter});
            return reply;
        };
        QTest::newRow("Retry-After seconds")
            << QList<FeedReply>{tooMany("40")} << 503 << "too many requests, next try in 40 s" << 1;
        QTest::newRow("Retry-After date")
            << QList<FeedReply>{tooMany(QDateTime::currentDateTimeUtc()
                                            .addSecs(300)
                                            .toString(u"ddd, dd MMM yyyy HH:mm:ss 'GMT'")
                                            .toLatin1())}
            << 503 << "too many requests, next try in 5 min" << 1;
        QTest::newRow("Retry-After 0") << QList<FeedReply>{tooMany("0"), csv} << 200 << "" << 2;
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
            QVERIFY2(reply.body.startsWith("Stooq") && reply.body.contains(reason.toLatin1()),
                     reply.body.constData());
            // Held: no other symbol goes upstream until then either.
            if (reason.contains(u"next try"))
                QCOMPARE(ask(stooq, "/download/quotes.csv?f=sl1&s=ibm").body, reply.body);
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

    void upstreamRequestsWaitForTheirTurn_data()
    {
        QTest::addColumn<int>("perWindow");
        QTest::addColumn<int>("inFlight");
        QTest::addColumn<int>("latencyMs");
        // Arrivals i and i - apart are about a window's length apart (300 ms; without the
        // limit they would come together).
        QTest::addColumn<int>("apart");
        QTest::newRow("two in 300 ms") << 2 << 4 << 0 << 2;
        QTest::newRow("one in flight") << 100 << 1 << 300 << 1;
    }
    void upstreamRequestsWaitForTheirTurn()
    {
        QFETCH(int, perWindow);
        QFETCH(int, inFlight);
        QFETCH(int, latencyMs);
        QFETCH(int, apart);
        StandInServer upstream;
        upstream.upstream->latencyMs = latencyMs;
        UpstreamPolicy policy = quickPolicy();
        policy.limits = {RateLimit{perWindow, 300}};
        policy.maxInFlight = inFlight;
        StooqSource stooq(upstream.url, policy);
        QCOMPARE(ask(stooq, "/download/quotes.csv?f=s&s=aa,bb,cc,dd,ee").status, 200);
        const QList<qint64> arrivals = upstream.upstream->arrivals;
        QCOMPARE(arrivals.size(), 5);
        for (qsizetype i = apart; i < arrivals.size(); ++i)
            QVERIFY2(arrivals.at(i) - arrivals.at(i - apart) >= 200,
                     qPrintable(QString::number(arrivals.at(i) - arrivals.at(i - apart))));
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
