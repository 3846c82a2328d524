// The quote sources' API keys in the Options window: the key box and the Test button, the
// secret store (a double here; the real one has its own test), and the built-in feed.
#include "support/MainHarness.h"

#include "feed/FeedSources.h"
#include "feed/QuoteFeed.h"
#include "feed/UpstreamSource.h"
#include "options/QuoteSourceKeys.h"
#include "options/frmOptions.h"
#include "support/StandInUpstream.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QtTest>
#include <QtWidgets>

class TestSourceKeys : public QObject
{
    Q_OBJECT

    FakePlatform m_platform;
    MainHarness m_harness;
    std::unique_ptr<StockMain> m_main;
    frmOptions *opt = nullptr;

    void start(const QString &source = QStringLiteral("simulated"))
    {
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("QuoteSource"), source);
        m_main = m_harness.start();
        // The ticker's passes (whose waits nest event loops for seconds) are not under test.
        m_main->timScroll().stop();
        opt = m_main->options();
        m_main->form()->cmdOptions()->click();
    }
    void choose(const QString &source)
    {
        opt->cboQuoteSource()->setCurrentIndex(opt->cboQuoteSource()->findData(source));
    }
    // Types into the key box as a user does, over what it held.
    void typeKey(const QString &key)
    {
        opt->txtApiKey()->selectAll();
        QTest::keyClick(opt->txtApiKey(), Qt::Key_Delete);
        QTest::keyClicks(opt->txtApiKey(), key);
    }
    // The in-process feed; the tests that need it fail when another program holds its port.
    static bool feedRuns() { return QuoteFeed::inProcess(); }
    static bool feedHasKey()
    {
        if (!feedRuns())
            return false;
        auto *source = dynamic_cast<const UpstreamSource *>(QuoteFeed::inProcess()->source().get());
        return source && source->hasKey();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv(FeedSources::keyVariable(QStringLiteral("stooq")).constData());
        qunsetenv(FeedSources::keyVariable(QStringLiteral("finnhub")).constData());
    }
    void init()
    {
        MainHarness::freshStore();
        m_platform.messageBox.shown.clear();
        m_platform.secrets = {};
    }
    void cleanup()
    {
        m_main.reset();
        QuoteFeed::setInProcessSource(QStringLiteral("simulated"));
    }

    void testSaysWhatHappened_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("tooMany");
        QTest::addColumn<QString>("said");
        QTest::newRow("key taken") << "finnhub"
                                   << "fh-key" << 0 << "Finnhub answered: MSFT ";
        QTest::newRow("key refused") << "finnhub"
                                     << "not-it" << 0 << "the Finnhub key was refused";
        QTest::newRow("check page") << "stooq"
                                    << "" << 0 << "Stooq asks for an API key";
        QTest::newRow("too many requests")
            << "yahoo"
            << "" << 50 << "Yahoo Finance: too many requests, next try in 40 s";
    }
    void testSaysWhatHappened()
    {
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(int, tooMany);
        QFETCH(QString, said);
        auto upstream = std::make_shared<StandInUpstream>();
        upstream->stooqKey = QStringLiteral("sq-key");
        upstream->tooManyFor = tooMany;
        upstream->retryAfter = "40";
        QuoteFeed server(upstream);
        const quint16 port = server.start();
        QVERIFY(port);
        start();
        m_main->options()->sourceKeys->setUpstream(
            QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)));
        // Nothing is asked of the store while the simulated market is in force.
        QCOMPARE(m_platform.secrets.reads, 0);
        QVERIFY(!opt->cmdTestSource()->isEnabled() && !opt->txtApiKey()->isEnabled());
        choose(source);
        QCOMPARE(opt->txtApiKey()->isEnabled(), FeedSources::takesKey(source));
        typeKey(key);
        QSignalSpy finished(m_main->options()->sourceKeys, &QuoteSourceKeys::testFinished);
        opt->cmdTestSource()->click();
        QVERIFY(!opt->cmdTestSource()->isEnabled()); // one test at a time
        QVERIFY(finished.wait(15000));
        QVERIFY2(opt->lblSourceTest()->text().startsWith(said),
                 qPrintable(opt->lblSourceTest()->text()));
        QVERIFY(key.isEmpty() || !opt->lblSourceTest()->text().contains(key));
        QVERIFY(opt->cmdTestSource()->isEnabled());
        QCOMPARE(m_platform.secrets.writes, 0); // a test stores nothing
    }

    void okGivesTheKeyToTheStoreAndTheFeed_data()
    {
        QTest::addColumn<bool>("storeRuns");
        QTest::newRow("secret store") << true;
        QTest::newRow("no secret store") << false;
    }
    void okGivesTheKeyToTheStoreAndTheFeed()
    {
        QFETCH(bool, storeRuns);
        m_platform.secrets.available = storeRuns;
        start();
        QVERIFY2(feedRuns(), "the feed's port is taken by another program");
        choose(QStringLiteral("finnhub"));
        typeKey(QStringLiteral("  k-1 "));
        opt->cmdOK()->click();
        QCOMPARE(m_main->options()->sourceKeys->key(QStringLiteral("finnhub")),
                 QStringLiteral("k-1"));
        QVERIFY(feedHasKey());
        QTRY_COMPARE(m_platform.messageBox.shown.size(), storeRuns ? 0 : 1);
        QCOMPARE(m_platform.secrets.stored.value(QStringLiteral("QuoteSource/finnhub")),
                 storeRuns ? QStringLiteral("k-1") : QString());
        QFile settings(SettingsStore::fileName());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray text = settings.readAll();
        QVERIFY(text.contains("finnhub") && !text.contains("k-1"));

        // Another key later: stored again, and a missing store is not told of twice.
        m_main->form()->cmdOptions()->click();
        QCOMPARE(opt->txtApiKey()->text(), QStringLiteral("k-1"));
        typeKey(QStringLiteral("k-2"));
        opt->cmdOK()->click();
        QTRY_COMPARE(m_platform.secrets.writes, 2);
        QCoreApplication::processEvents(); // the store's answer, queued
        QCOMPARE(m_platform.messageBox.shown.size(), storeRuns ? 0 : 1);
        if (!storeRuns)
            QVERIFY(m_platform.messageBox.shown.front().text.contains(
                QStringLiteral("asked for again at the next start")));
    }

    void storedKeysAtStartAndCancel()
    {
        m_platform.secrets.stored = {{"QuoteSource/stooq", "sq"}, {"QuoteSource/finnhub", "fh"}};
        start(QStringLiteral("stooq"));
        QVERIFY2(feedRuns(), "the feed's port is taken by another program");
        QTRY_VERIFY(feedHasKey());
        QCOMPARE(opt->txtApiKey()->text(), QStringLiteral("sq"));
        QCOMPARE(m_platform.secrets.reads, 1); // the source in force only
        // A key read for a choice not yet confirmed leaves the feed as it is, and a typed
        // key that is cancelled is forgotten.
        choose(QStringLiteral("finnhub"));
        QTRY_COMPARE(opt->txtApiKey()->text(), QStringLiteral("fh"));
        typeKey(QStringLiteral("new"));
        QCOMPARE(QuoteFeed::inProcess()->sourceName(), QStringLiteral("stooq"));
        opt->cmdCancel()->click();
        m_main->form()->cmdOptions()->click();
        choose(QStringLiteral("finnhub"));
        QCOMPARE(opt->txtApiKey()->text(), QStringLiteral("fh"));
        QCOMPARE(m_platform.secrets.writes, 0);
    }
};

QTEST_MAIN(TestSourceKeys)
#include "tst_quotesourcekeys.moc"
