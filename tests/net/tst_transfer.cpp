#include "net/Transfer.h"

#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestTransfer : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<ScriptedSource> m_script;
    std::unique_ptr<QuoteFeed> m_feed;

    QString url(const QString &pathAndQuery) const { return m_feed->baseUrl() + pathAndQuery; }

private Q_SLOTS:
    void init()
    {
        m_script = std::make_shared<ScriptedSource>();
        m_feed = std::make_unique<QuoteFeed>(m_script);
        QVERIFY(m_feed->start(QHostAddress::LocalHost, 0) != 0);
    }
    void cleanup()
    {
        m_feed.reset();
        m_script.reset();
    }

    void returnsTheBodyAndSendsTheExactRequest()
    {
        m_script->enqueue(FeedReply::text("\"MSFT\",56.81\r\n"));
        Transfer transfer;
        const QString body =
            transfer.OpenURL(url("/download/quotes.csv?f=spelcvomrn=.csv&s=msft,csco,ibm,dell,"));
        QCOMPARE(body, QStringLiteral("\"MSFT\",56.81\r\n"));
        QCOMPARE(transfer.ResponseCode(), 0);
        QCOMPARE(transfer.httpStatus(), 200);
        QVERIFY(transfer.ResponseInfo().isEmpty());
        QVERIFY(!transfer.StillExecuting());
        QCOMPARE(m_script->requests(),
                 QStringList{"/download/quotes.csv?f=spelcvomrn=.csv&s=msft,csco,ibm,dell,"});
    }

    void caretInTheSymbolGoesOutEncoded()
    {
        m_script->enqueue(FeedReply::text("x\r\n"));
        Transfer transfer;
        transfer.OpenURL(url("/download/quotes.csv?f=nk1k2=.csv&s=^dji"));
        QCOMPARE(transfer.ResponseCode(), 0);
        QCOMPARE(m_script->requests(), QStringList{"/download/quotes.csv?f=nk1k2=.csv&s=%5Edji"});
    }

    void decodesTheBodyAsLatin1()
    {
        m_script->enqueue(FeedReply::text("Soci\xE9t\xE9 G\xE9n\xE9rale\r\n"));
        Transfer transfer;
        QCOMPARE(transfer.OpenURL(url("/q")), QString::fromUtf8("Société Générale\r\n"));
    }

    void reusesTheObjectForManyTransfers()
    {
        auto market = std::make_shared<MarketSource>(5);
        m_script->setFallback(market);
        m_script->enqueue(FeedReply::error(500));
        Transfer transfer;
        QVERIFY(transfer.OpenURL(url("/download/quotes.csv?f=sl1=.csv&s=ibm")).isEmpty());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorHttpStatus));
        // The failure does not stick to the next transfer.
        for (int i = 0; i < 3; ++i) {
            const QString body = transfer.OpenURL(url("/download/quotes.csv?f=sl1=.csv&s=ibm"));
            QVERIFY(body.startsWith(QStringLiteral("\"IBM\",")));
            QCOMPARE(transfer.ResponseCode(), 0);
        }
    }

    void failsOnServerReplies_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("infoPart");
        QTest::newRow("404") << 404 << int(Transfer::ErrorHttpStatus) << 404 << "404";
        QTest::newRow("500") << 500 << int(Transfer::ErrorHttpStatus) << 500 << "500";
        QTest::newRow("400") << 400 << int(Transfer::ErrorHttpStatus) << 400 << "400";
        QTest::newRow("reset") << 1 << int(Transfer::ErrorConnectionReset) << 0 << "closed";
        QTest::newRow("oversized") << 2 << int(Transfer::ErrorBodyTooLarge) << 200 << "larger";
        QTest::newRow("oversized, no length")
            << 3 << int(Transfer::ErrorBodyTooLarge) << 200 << "larger";
    }
    void failsOnServerReplies()
    {
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(int, status);
        QFETCH(QString, infoPart);
        FeedReply reply;
        if (kind >= 400)
            reply = FeedReply::error(kind);
        else if (kind == 1)
            reply = FeedReply::resetConnection();
        else
            reply = FeedReply::oversized(Transfer::kMaxBodyBytes + 1);
        // Without a length the limit is found while reading.
        reply.omitLength = kind == 3;
        // Enough copies that a client's retry on a dropped connection meets the same reply.
        for (int i = 0; i < 4; ++i)
            m_script->enqueue(reply);

        Transfer transfer;
        QSignalSpy states(&transfer, &Transfer::StateChanged);
        QCOMPARE(transfer.OpenURL(url("/download/quotes.csv?f=sl1=.csv&s=msft")), QString());
        QCOMPARE(transfer.ResponseCode(), code);
        QVERIFY(transfer.ResponseCode() > 35750);
        QCOMPARE(transfer.httpStatus(), status);
        QVERIFY2(transfer.ResponseInfo().contains(infoPart), qPrintable(transfer.ResponseInfo()));
        QVERIFY(!transfer.StillExecuting());
        QCOMPARE(states.size(), 2);
        QCOMPARE(states.at(1).at(0).value<Transfer::State>(), Transfer::State::Failed);
    }

    void acceptsABodyOfExactlyTheLimit_data()
    {
        QTest::addColumn<bool>("omitLength");
        QTest::newRow("with length") << false;
        QTest::newRow("until closed") << true;
    }
    void acceptsABodyOfExactlyTheLimit()
    {
        QFETCH(bool, omitLength);
        FeedReply reply = FeedReply::oversized(Transfer::kMaxBodyBytes);
        reply.omitLength = omitLength;
        m_script->enqueue(reply);
        Transfer transfer;
        QCOMPARE(transfer.OpenURL(url("/q")).size(), Transfer::kMaxBodyBytes);
        QCOMPARE(transfer.ResponseCode(), 0);
    }

    void refusedOnAClosedPort()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        Transfer transfer;
        QCOMPARE(transfer.OpenURL(QStringLiteral("http://127.0.0.1:%1/q").arg(port)), QString());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorConnectionRefused));
        QVERIFY(transfer.ResponseInfo().contains(QString::number(port)));
    }

    void hostNotFoundForAnInvalidName()
    {
        Transfer transfer;
        QCOMPARE(transfer.OpenURL(QStringLiteral("http://quotes.invalid/download/quotes.csv")),
                 QString());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorHostNotFound));
        QVERIFY(transfer.ResponseInfo().contains(QStringLiteral("quotes.invalid")));
    }

    void rejectsAddressesItCannotFetch_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("ftp") << "ftp://127.0.0.1/quotes.csv";
        QTest::newRow("file") << "file:///etc/passwd";
        QTest::newRow("no host") << "http:///download/quotes.csv";
    }
    void rejectsAddressesItCannotFetch()
    {
        QFETCH(QString, address);
        Transfer transfer;
        QCOMPARE(transfer.OpenURL(address), QString());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorInvalidUrl));
        QVERIFY(!transfer.StillExecuting());
    }

    void timesOutOnAServerThatNeverAnswers()
    {
        m_script->enqueue(FeedReply::never());
        Transfer transfer;
        transfer.setRequestTimeout(1);
        QCOMPARE(transfer.OpenURL(url("/q")), QString());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorTimedOut));
        QVERIFY(transfer.ResponseInfo().contains(QStringLiteral("1 seconds")));
    }

    // An answer that trickles in: the time-out ends it, and so does the program's end,
    // which quits every event loop: what arrived is never returned as an answer, and no
    // transfer starts after the shutdown.
    void tricklingAnswerNeverReturnedInPart_data()
    {
        QTest::addColumn<bool>("programEnds");
        QTest::newRow("time-out") << false;
        QTest::newRow("program ends") << true;
    }

    void tricklingAnswerNeverReturnedInPart()
    {
        QFETCH(bool, programEnds);
        m_script->enqueue(FeedReply::trickle("\"MSFT\",1,2,\"3:17pm - <b>57.67</b>\"\r\n", 200));
        Transfer transfer;
        transfer.setRequestTimeout(programEnds ? 0 : 1);
        if (programEnds)
            QTimer::singleShot(700, &transfer, [] { QCoreApplication::exit(0); });
        QCOMPARE(transfer.OpenURL(url("/q")), QString());
        QCOMPARE(transfer.ResponseCode(),
                 int(programEnds ? Transfer::ErrorCancelled : Transfer::ErrorTimedOut));
        transfer.shutdown();
        QCOMPARE(transfer.OpenURL(url("/q")), QString());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorCancelled));
        QCOMPARE(m_script->requests().size(), 1);
        if (programEnds) {
            // Until the application's loop runs again every new wait would end at once.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
    }

    void cancelFromInsideTheWait()
    {
        m_script->enqueue(FeedReply::never());
        Transfer transfer;
        bool sawExecuting = false;
        QTimer::singleShot(20, &transfer, [&] {
            sawExecuting = transfer.StillExecuting();
            transfer.Cancel();
        });
        QCOMPARE(transfer.OpenURL(url("/q")), QString());
        QVERIFY(sawExecuting);
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorCancelled));
        QVERIFY(!transfer.StillExecuting());
        // Cancel with nothing running changes nothing.
        transfer.Cancel();
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorCancelled));
    }

    void eventsKeepRunningDuringTheWait()
    {
        m_script->enqueue(FeedReply::delayed("late\r\n", 150));
        Transfer transfer;
        int ticks = 0;
        int ticksWhileExecuting = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            ++ticks;
            if (transfer.StillExecuting())
                ++ticksWhileExecuting;
        });
        timer.start(5);
        QCOMPARE(transfer.OpenURL(url("/q")), QStringLiteral("late\r\n"));
        timer.stop();
        QVERIFY(ticksWhileExecuting > 0);
        QCOMPARE(ticksWhileExecuting, ticks); // every tick came during the wait
    }

    void secondOpenWhileExecutingIsRejected()
    {
        m_script->enqueue(FeedReply::delayed("first\r\n", 100));
        Transfer transfer;
        QString nested = QStringLiteral("untouched");
        int nestedCode = -1;
        QTimer::singleShot(0, &transfer, [&] {
            nested = transfer.OpenURL(url("/second"));
            nestedCode = transfer.ResponseCode();
        });
        QCOMPARE(transfer.OpenURL(url("/first")), QStringLiteral("first\r\n"));
        QCOMPARE(nested, QString());
        QCOMPARE(nestedCode, int(Transfer::ErrorBusy));
        QCOMPARE(transfer.ResponseCode(), 0); // the first transfer's own result
        QCOMPARE(m_script->requests(), QStringList{"/first"});
    }

    void reportsStatesWhileStillExecuting()
    {
        m_script->enqueue(FeedReply::text("ok\r\n"));
        m_script->enqueue(FeedReply::error(503));
        Transfer transfer;
        QList<Transfer::State> states;
        QList<bool> executing;
        QList<int> codes;
        connect(&transfer, &Transfer::StateChanged, this, [&](Transfer::State state) {
            states.append(state);
            executing.append(transfer.StillExecuting());
            codes.append(transfer.ResponseCode());
        });
        transfer.OpenURL(url("/a"));
        transfer.OpenURL(url("/b"));
        const QList<Transfer::State> expected{Transfer::State::Connecting,
                                              Transfer::State::Completed,
                                              Transfer::State::Connecting, Transfer::State::Failed};
        QCOMPARE(states, expected);
        QCOMPARE(executing, (QList<bool>{true, true, true, true}));
        QCOMPARE(codes, (QList<int>{0, 0, 0, int(Transfer::ErrorHttpStatus)}));
    }

    void cancelFromTheConnectingStateSendsNothing()
    {
        Transfer transfer;
        connect(&transfer, &Transfer::StateChanged, &transfer, [&](Transfer::State state) {
            if (state == Transfer::State::Connecting)
                transfer.Cancel();
        });
        QCOMPARE(transfer.OpenURL(url("/q")), QString());
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorCancelled));
        QVERIFY(m_script->requests().isEmpty());
    }

    void destroyedDuringTheWait()
    {
        m_script->enqueue(FeedReply::never());
        auto *transfer = new Transfer;
        QPointer<Transfer> watch(transfer);
        QTimer::singleShot(20, this, [transfer] { delete transfer; });
        QCOMPARE(transfer->OpenURL(url("/q")), QString());
        QVERIFY(watch.isNull());
    }

    void proxyFromAccessTypeAndText_data()
    {
        QTest::addColumn<Transfer::AccessType>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("proxyType");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        using P = QNetworkProxy;
        QTest::newRow("default") << Transfer::AccessType::Default << "proxy1:8080"
                                 << int(P::DefaultProxy) << "" << 0;
        QTest::newRow("direct") << Transfer::AccessType::Direct << "proxy1:8080" << int(P::NoProxy)
                                << "" << 0;
        QTest::newRow("named") << Transfer::AccessType::NamedProxy << "proxy1:8080"
                               << int(P::HttpProxy) << "proxy1" << 8080;
        QTest::newRow("named, empty port")
            << Transfer::AccessType::NamedProxy << "proxy1:" << int(P::HttpProxy) << "proxy1" << 80;
        QTest::newRow("named, no port") << Transfer::AccessType::NamedProxy << " proxy1 "
                                        << int(P::HttpProxy) << "proxy1" << 80;
        QTest::newRow("named, bad port") << Transfer::AccessType::NamedProxy << "proxy1:99999"
                                         << int(P::HttpProxy) << "proxy1" << 80;
        QTest::newRow("named, ipv6") << Transfer::AccessType::NamedProxy << "[::1]:3128"
                                     << int(P::HttpProxy) << "::1" << 3128;
        QTest::newRow("named, nothing")
            << Transfer::AccessType::NamedProxy << ":8080" << int(P::DefaultProxy) << "" << 0;
    }
    void proxyFromAccessTypeAndText()
    {
        QFETCH(Transfer::AccessType, type);
        QFETCH(QString, text);
        QFETCH(int, proxyType);
        QFETCH(QString, host);
        QFETCH(int, port);
        Transfer transfer;
        transfer.setAccessType(type);
        transfer.setProxy(text);
        const QNetworkProxy proxy = transfer.networkProxy();
        QCOMPARE(int(proxy.type()), proxyType);
        if (proxyType == QNetworkProxy::HttpProxy) {
            QCOMPARE(proxy.hostName(), host);
            QCOMPARE(int(proxy.port()), port);
        }
    }

    void fetchesThroughANamedProxy()
    {
        // The feed stands in for the proxy: the name under "invalid" cannot be reached
        // except through it.
        m_script->enqueue(FeedReply::text("via proxy\r\n"));
        Transfer transfer;
        transfer.setAccessType(Transfer::AccessType::NamedProxy);
        transfer.setProxy(QStringLiteral("127.0.0.1:%1").arg(m_feed->port()));
        QCOMPARE(
            transfer.OpenURL(QStringLiteral("http://quotes.invalid/download/quotes.csv?s=ibm")),
            QStringLiteral("via proxy\r\n"));
        QCOMPARE(m_script->requests(), QStringList{"/download/quotes.csv?s=ibm"});

        m_script->enqueue(FeedReply::error(502));
        transfer.OpenURL(QStringLiteral("http://quotes.invalid/q"));
        QCOMPARE(transfer.ResponseCode(), int(Transfer::ErrorHttpStatus));
        QVERIFY2(transfer.ResponseInfo().contains(QStringLiteral("proxy 127.0.0.1")),
                 qPrintable(transfer.ResponseInfo()));
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
