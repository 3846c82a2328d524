#include "FeedConfig.h"
#include "MarketSource.h"
#include "QuoteFeed.h"
#include "ScriptedSource.h"
#include "support/StandInUpstream.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QtTest>

#include <memory>

namespace {

// One exchange with the feed over a plain socket, so that the test controls every byte
// of the request (a client library would encode "^" and add its own headers).
struct Exchange
{
    bool connected = false;
    bool closed = false; // the server ended the connection
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QByteArray data;

    int status() const
    {
        static const QRegularExpression line(QStringLiteral("^HTTP/1\\.1 (\\d{3}) "));
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(data.left(20)));
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    }
    QByteArray header(const QByteArray &name) const
    {
        const QByteArray head = data.left(data.indexOf("\r\n\r\n"));
        for (const QByteArray &line : head.split('\n')) {
            const QByteArray l = line.trimmed();
            if (l.toLower().startsWith(QByteArray(name.toLower() + ':')))
                return l.mid(name.size() + 1).trimmed();
        }
        return {};
    }
    QByteArray body() const
    {
        const qsizetype end = data.indexOf("\r\n\r\n");
        return end < 0 ? QByteArray() : data.mid(end + 4);
    }
};

Exchange exchange(quint16 port, const QByteArray &request, int timeoutMs = 10000)
{
    Exchange result;
    QTcpSocket socket;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { result.data += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::errorOccurred,
                     [&](QAbstractSocket::SocketError e) { result.error = e; });
    QSignalSpy connectedSpy(&socket, &QTcpSocket::connected);
    QSignalSpy closedSpy(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!connectedSpy.wait(timeoutMs))
        return result;
    result.connected = true;
    socket.write(request);
    result.closed = closedSpy.wait(timeoutMs);
    result.data += socket.readAll();
    return result;
}

QByteArray get(const QByteArray &target, const QByteArray &method = "GET")
{
    return method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
}

} // namespace

class TestQuoteFeed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersQuotesOverHttp()
    {
        QuoteFeed feed(5);
        const quint16 port = feed.start();
        QVERIFY(port != 0);
        QCOMPARE(feed.address(), QHostAddress(QHostAddress::LocalHost));
        const Exchange e =
            exchange(port, get("/download/quotes.csv?f=spelcvomrn=.csv&s=msft,csco,ibm,dell,"));
        QVERIFY(e.closed);
        QCOMPARE(e.status(), 200);
        QCOMPARE(e.header("Content-Length").toLongLong(), e.body().size());
        QVERIFY(e.header("Content-Type").startsWith("text/plain"));
        const QList<QByteArray> lines = e.body().split('\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines.at(0).startsWith("\"MSFT\","));
        QVERIFY(lines.at(3).startsWith("\"DELL\","));
        QCOMPARE(feed.requestCount(), quint64(1));
    }

    void acceptsTheCaretPlainAndEncoded_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("plain") << QByteArray("/download/quotes.csv?f=nk1k2=.csv&s=^dji");
        QTest::newRow("encoded") << QByteArray("/download/quotes.csv?f=nk1k2=.csv&s=%5Edji");
        QTest::newRow("encoded lower") << QByteArray("/download/quotes.csv?f=nk1k2=.csv&s=%5edji");
    }
    void acceptsTheCaretPlainAndEncoded()
    {
        QFETCH(QByteArray, target);
        QuoteFeed feed;
        const quint16 port = feed.start();
        const Exchange e = exchange(port, get(target));
        QCOMPARE(e.status(), 200);
        QVERIFY2(e.body().startsWith("\"DJ INDU AVERAGE\",\""), e.body().constData());
    }

    void answersPagesAndMissingRoutes_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("status");
        QTest::newRow("index page") << QByteArray("/m1?u") << 200;
        QTest::newRow("start page") << QByteArray("/") << 200;
        QTest::newRow("vantora") << QByteArray("/vantora/") << 200;
        // Every page the browser panel opens with the feed's quote address.
        QTest::newRow("chart") << QByteArray("/print/print.asp?frames=0&symb=IBM&unused=0&o_symb="
                                             "IBM&time=1&freq=9&backurl=%2Fq&prms=qcd")
                               << 200;
        QTest::newRow("lookup") << QByteArray("/l?m=US&s=AT%26T&t=") << 200;
        QTest::newRow("news") << QByteArray("/news?s=MSFT&source=http%3A%2F%2Fn.example.com%2F")
                              << 200;
        QTest::newRow("research") << QByteArray("/research?s=ibm&source=http%3A%2F%2Fr.test%2F")
                                  << 200;
        QTest::newRow("research, no symbol") << QByteArray("/research?source=x") << 200;
        QTest::newRow("IPOs") << QByteArray("/ipo?source=http%3A%2F%2Fi.test%2Fipo%2F") << 200;
        QTest::newRow("screener") << QByteArray("/screener?source=http%3A%2F%2Fs.test%2F") << 200;
        QTest::newRow("order book")
            << QByteArray("/ds/tools/bookviewer/htmlbook.jsp?STOCK=DELL") << 200;
        QTest::newRow("television")
            << QByteArray("/media/tv?source=http%3A%2F%2Ftv.test%2F") << 200;
        QTest::newRow("radio") << QByteArray("/media/radio?source=") << 200;
        QTest::newRow("news of a bad symbol") << QByteArray("/news?s=%22%3E%3Cx") << 400;
        QTest::newRow("order book of nothing")
            << QByteArray("/ds/tools/bookviewer/htmlbook.jsp?STOCK=NOSUCH") << 404;
        QTest::newRow("missing") << QByteArray("/missing") << 404;
        QTest::newRow("near miss") << QByteArray("/download/quotes.txt?s=ibm") << 404;
    }
    void answersPagesAndMissingRoutes()
    {
        QFETCH(QByteArray, target);
        QFETCH(int, status);
        QuoteFeed feed;
        const Exchange e = exchange(feed.start(), get(target));
        QCOMPARE(e.status(), status);
        QVERIFY(e.header("Content-Type").startsWith("text/html"));
        QCOMPARE(e.header("Content-Length").toLongLong(), e.body().size());
        // A page that names itself.
        static const QRegularExpression title(QStringLiteral("<title>([^<]+)</title>"));
        QVERIFY2(title.match(QString::fromUtf8(e.body())).hasMatch(),
                 e.body().left(200).constData());
    }

    void headHasNoBody()
    {
        QuoteFeed feed;
        const Exchange e = exchange(feed.start(), get("/download/quotes.csv?f=sl1&s=ibm", "HEAD"));
        QCOMPARE(e.status(), 200);
        QVERIFY(e.header("Content-Length").toLongLong() > 0);
        QVERIFY(e.body().isEmpty());
    }

    void keepsTheConnectionForTheNextRequest()
    {
        QuoteFeed feed;
        const quint16 port = feed.start();
        QTcpSocket socket;
        QByteArray data;
        connect(&socket, &QTcpSocket::readyRead, this, [&] { data += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(QSignalSpy(&socket, &QTcpSocket::connected).wait(5000) ||
                socket.state() == QAbstractSocket::ConnectedState);
        const QByteArray request =
            "GET /download/quotes.csv?f=sl1&s=ibm HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        socket.write(request);
        QTRY_VERIFY(data.contains("\r\n\r\n\"IBM\","));
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
        socket.write(request);
        QTRY_COMPARE(data.count("HTTP/1.1 200 OK"), 2);
        QCOMPARE(feed.requestCount(), quint64(2));
    }

    void scriptedRepliesAndTheRequestRecord()
    {
        auto script = std::make_shared<ScriptedSource>();
        QuoteFeed feed(script);
        const quint16 port = feed.start();
        script->enqueue(FeedReply::text("canned\r\n"));
        script->enqueue(FeedReply::error(503));
        script->enqueue(FeedReply::delayed("later\r\n", 50));

        QCOMPARE(exchange(port, get("/a?x=1")).body(), QByteArray("canned\r\n"));
        QCOMPARE(exchange(port, get("/b")).status(), 503);
        const Exchange late = exchange(port, get("/c?s=%5Edji,msft,"));
        QCOMPARE(late.status(), 200);
        QCOMPARE(late.body(), QByteArray("later\r\n"));
        QCOMPARE(exchange(port, get("/d")).status(), 404); // queue empty, no fallback
        QCOMPARE(script->requests(), (QStringList{"/a?x=1", "/b", "/c?s=%5Edji,msft,", "/d"}));
        QCOMPARE(script->pending(), 0);

        script->setFallback(std::make_shared<MarketSource>());
        QVERIFY(exchange(port, get("/download/quotes.csv?f=s&s=ibm")).body().startsWith("\"IBM\""));
    }

    void resetDropsTheConnection()
    {
        auto script = std::make_shared<ScriptedSource>();
        QuoteFeed feed(script);
        const quint16 port = feed.start();
        script->enqueue(FeedReply::resetConnection());
        const Exchange e = exchange(port, get("/download/quotes.csv?s=ibm"));
        QVERIFY(e.connected);
        QVERIFY(e.closed);
        QVERIFY(e.data.isEmpty());
        QCOMPARE(e.error, QAbstractSocket::RemoteHostClosedError);
    }

    void heldRequestIsNeverAnswered()
    {
        auto script = std::make_shared<ScriptedSource>();
        QuoteFeed feed(script);
        const quint16 port = feed.start();
        script->enqueue(FeedReply::never());
        script->enqueue(FeedReply::text("second\r\n"));
        QSignalSpy served(&feed, &QuoteFeed::requestServed);

        QTcpSocket held;
        QByteArray heldData;
        connect(&held, &QTcpSocket::readyRead, this, [&] { heldData += held.readAll(); });
        held.connectToHost(QHostAddress::LocalHost, port);
        QTRY_COMPARE(held.state(), QAbstractSocket::ConnectedState);
        held.write(get("/held"));
        QTRY_COMPARE(served.size(), 1);
        QCOMPARE(served.at(0).at(1).toInt(), 0);
        // Another client is served meanwhile; the held one still has nothing.
        QCOMPARE(exchange(port, get("/next")).body(), QByteArray("second\r\n"));
        QVERIFY(heldData.isEmpty());
        QCOMPARE(held.state(), QAbstractSocket::ConnectedState);
    }

    void aTakenPortIsReported()
    {
        QuoteFeed first;
        const quint16 port = first.start();
        QVERIFY(port != 0);
        QVERIFY(first.isListening());
        QuoteFeed second;
        QCOMPARE(second.start(QHostAddress::LocalHost, port), quint16(0));
        QVERIFY(!second.errorString().isEmpty());
        QVERIFY(!second.isListening());

        QVERIFY(!QuoteFeed::startInProcess(port));
        QCOMPARE(QuoteFeed::inProcess(), nullptr);

        first.stop();
        QVERIFY(!first.isListening());
        QVERIFY(QuoteFeed::startInProcess(port, 77));
        QuoteFeed *running = QuoteFeed::inProcess();
        QVERIFY(running);
        QVERIFY(QuoteFeed::startInProcess(port)); // already running there
        QCOMPARE(QuoteFeed::inProcess(), running);
        QVERIFY(
            exchange(port, get("/download/quotes.csv?f=s&s=dell")).body().startsWith("\"DELL\""));
        QuoteFeed::stopInProcess();
        QCOMPARE(QuoteFeed::inProcess(), nullptr);
    }

    void recognisesItsOwnAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("feed");
        QTest::newRow("stock default") << FeedConfig::defaultStockUrl() << true;
        QTest::newRow("market default") << FeedConfig::defaultMarketUrl() << true;
        QTest::newRow("indices default") << FeedConfig::defaultIndicesUrl() << true;
        QTest::newRow("real time") << FeedConfig::realTimeStockUrl() << true;
        QTest::newRow("start page") << FeedConfig::startPageUrl() << true;
        QTest::newRow("localhost") << "http://LocalHost:47110/m1?u" << true;
        QTest::newRow("other port") << "http://127.0.0.1:47111/m1?u" << false;
        QTest::newRow("no port") << "http://127.0.0.1/m1?u" << false;
        QTest::newRow("other host") << "http://quotes.example.com:47110/m1?u" << false;
        QTest::newRow("https") << "https://127.0.0.1:47110/m1?u" << false;
        QTest::newRow("garbage") << "not a url" << false;
        QTest::newRow("empty") << "" << false;
    }
    void recognisesItsOwnAddresses()
    {
        QFETCH(QString, url);
        QFETCH(bool, feed);
        QCOMPARE(FeedConfig::isFeedUrl(url), feed);
    }

    void programServesAndPrintsItsAddress()
    {
        QProcess program;
        program.start(QStringLiteral(VANTORA_QUOTED_PATH),
                      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"),
                       QStringLiteral("9")});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 15000);
        const QString line = QString::fromLocal8Bit(program.readLine()).trimmed();
        static const QRegularExpression listening(
            QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)$"));
        const QRegularExpressionMatch m = listening.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        const quint16 port = quint16(m.captured(1).toUInt());

        const QByteArray target = "/download/quotes.csv?f=nk1k2=.csv&s=%5Eixic";
        const Exchange e = exchange(port, get(target));
        // The same seed gives the same first answer in-process.
        MarketSource same(9);
        FeedRequest request;
        request.method = "GET";
        request.path = QStringLiteral("/download/quotes.csv");
        request.query = QStringLiteral("f=nk1k2=.csv&s=%5Eixic");
        QCOMPARE(e.body(), same.answer(request).body);

        // A second program on the same port gives up with a message.
        QProcess second;
        second.start(QStringLiteral(VANTORA_QUOTED_PATH),
                     {QStringLiteral("--port"), QString::number(port)});
        QVERIFY(second.waitForFinished(15000));
        QVERIFY(second.exitCode() != 0);
        QVERIFY(QString::fromLocal8Bit(second.readAllStandardError())
                    .contains(QStringLiteral("cannot listen")));

        program.kill();
        program.waitForFinished();
    }

    void programAnswersFromALiveSource()
    {
        auto upstream = std::make_shared<ScriptedSource>();
        QuoteFeed fake(upstream);
        const quint16 fakePort = fake.start();
        upstream->enqueue(FeedReply::error(404)); // the cookie page
        upstream->enqueue(FeedReply::text("crumb"));
        upstream->enqueue(FeedReply::text(
            R"({"quoteResponse":{"result":[{"symbol":"IBM","quoteType":"EQUITY",)"
            R"("shortName":"IBM","regularMarketPrice":168.97,"regularMarketChange":1.4,)"
            R"("regularMarketChangePercent":0.8355,"regularMarketTime":1715976000,)"
            R"("gmtOffSetMilliseconds":-14400000}],"error":null}})"));

        QProcess program;
        program.start(QStringLiteral(VANTORA_QUOTED_PATH),
                      {"--port", "0", "--source", "yahoo", "--upstream",
                       QStringLiteral("http://127.0.0.1:%1").arg(fakePort)});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 15000);
        const QString line = QString::fromLocal8Bit(program.readLine()).trimmed();
        const quint16 port = quint16(line.section(u':', -1).toUInt());
        QVERIFY2(port != 0, qPrintable(line));

        const Exchange e = exchange(port, get("/download/quotes.csv?f=sl1c&s=ibm"), 20000);
        QCOMPARE(e.status(), 200);
        QCOMPARE(e.body(),
                 QByteArray("\"IBM\",168.97,\"+1.40 - +0.84%\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
        QCOMPARE(upstream->requests().last(), QString("/v7/finance/quote?symbols=IBM&crumb=crumb"));
        program.kill();
        program.waitForFinished();
    }

    void programRejectsBadArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("port") << QStringList{"--port", "70000"};
        QTest::newRow("seed") << QStringList{"--port", "0", "--seed", "x"};
        QTest::newRow("bind") << QStringList{"--port", "0", "--bind", "nowhere"};
        QTest::newRow("source") << QStringList{"--port", "0", "--source", "nasdaq"};
        QTest::newRow("upstream") << QStringList{"--port", "0",          "--source",
                                                 "yahoo",  "--upstream", "ftp://127.0.0.1:1"};
        QTest::newRow("fresh 0") << QStringList{"--port", "0", "--fresh-seconds", "0"};
        QTest::newRow("fresh over 15 min")
            << QStringList{"--port", "0", "--fresh-seconds", "15,901"};
        QTest::newRow("fresh words") << QStringList{"--port", "0", "--fresh-seconds", "soon"};
        // A key in clear would show in every user's process list.
        QTest::newRow("key in clear")
            << QStringList{"--port", "0", "--source", "finnhub", "--finnhub-key", "s3cr3t-key"};
        QTest::newRow("key file missing")
            << QStringList{"--port", "0", "--source", "stooq", "--stooq-key", "@/nonexistent/k"};
        QTest::newRow("no finnhub key") << QStringList{"--port", "0", "--source", "finnhub"};
    }
    void programRejectsBadArguments()
    {
        QFETCH(QStringList, arguments);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("VANTORA_FINNHUB_KEY"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VANTORA_QUOTED_PATH), arguments);
        QVERIFY(program.waitForFinished(15000));
        QCOMPARE(program.exitCode(), 2);
        const QByteArray error = program.readAllStandardError();
        QVERIFY(!error.isEmpty());
        QVERIFY2(!error.contains("s3cr3t"), error.constData());
    }

    void programTakesKeysFromAFileOrTheEnvironment_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("file") << true;
        QTest::newRow("environment") << false;
    }
    void programTakesKeysFromAFileOrTheEnvironment()
    {
        QFETCH(bool, fromFile);
        StandInServer upstream;
        QTemporaryFile keyFile;
        QVERIFY(keyFile.open());
        keyFile.write("fh-key\n");
        keyFile.close();
        QStringList arguments{"--port",  "0",          "--source",
                              "finnhub", "--upstream", upstream.url.toString()};
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (fromFile)
            arguments << "--finnhub-key" << '@' + keyFile.fileName();
        else
            environment.insert(QStringLiteral("VANTORA_FINNHUB_KEY"), QStringLiteral("fh-key"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VANTORA_QUOTED_PATH), arguments);
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 15000);
        const QString line = QString::fromLocal8Bit(program.readLine()).trimmed();
        const quint16 port = quint16(line.section(u':', -1).toUInt());
        QVERIFY2(port != 0, qPrintable(line));
        const Exchange e = exchange(port, get("/download/quotes.csv?f=sl1&s=msft"), 20000);
        QCOMPARE(e.status(), 200);
        QVERIFY2(e.body().startsWith("\"MSFT\",56.81,"), e.body().constData());
        QCOMPARE(upstream.upstream->requests,
                 QStringList{"/api/v1/quote?symbol=MSFT&token=fh-key"});
        program.kill();
        program.waitForFinished();
        QVERIFY(!program.readAll().contains("fh-key"));
    }
};

QTEST_GUILESS_MAIN(TestQuoteFeed)
#include "tst_quotefeed.moc"
