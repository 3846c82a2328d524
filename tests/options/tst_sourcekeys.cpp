// The quote sources' API keys in the Options window: the key box and the Test button, the
// secret store (a double here; the real one has its own test), and the built-in feed.
#include "MainHarness.h"

#include "feed/FeedSources.h"
#include "feed/QuoteFeed.h"
#include "feed/UpstreamSource.h"
#include "options/QuoteSourceKeys.h"
#include "options/frmOptions.h"
#include "ui_frmOptions.h"
#include "ui_frmStockMain.h"
#include "upstream/StandInUpstream.h"
#include "window/frmStockMain.h"

#include <QtTest>
#include <QtWidgets>

class TestSourceKeys : public QObject
{
    Q_OBJECT

    FakePlatform m_platform;
    MainHarness m_harness;
    std::unique_ptr<StockMain> m_main;
    Ui::frmOptions *ui = nullptr;

    void start()
    {
        m_main = m_harness.start();
        ui = m_main->options()->ui;
    }
    void choose(const QString &source)
    {
        ui->cboQuoteSource->setCurrentIndex(ui->cboQuoteSource->findData(source));
    }
    // Types into the key box as a user does, over what it held.
    void typeKey(const QString &key)
    {
        ui->txtApiKey->selectAll();
        QTest::keyClick(ui->txtApiKey, Qt::Key_Delete);
        QTest::keyClicks(ui->txtApiKey, key);
    }
    static const UpstreamSource *feedSource()
    {
        QuoteFeed *feed = QuoteFeed::inProcess();
        return feed ? dynamic_cast<const UpstreamSource *>(feed->source().get()) : nullptr;
    }
    static QByteArray settingsFile()
    {
        QFile file(SettingsStore::fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        m_platform.secrets.stored.clear();
        m_platform.secrets.available = true;
        m_platform.secrets.writes = 0;
        m_platform.secrets.reads = 0;
    }
    void cleanup()
    {
        m_main.reset();
        QuoteFeed::setInProcessSource(QStringLiteral("simulated"));
    }

    void keyBoxAndTestFollowTheSource_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("keyed");
        QTest::addColumn<bool>("testable");
        QTest::newRow("simulated") << "simulated" << false << false;
        QTest::newRow("yahoo") << "yahoo" << false << true;
        QTest::newRow("stooq") << "stooq" << true << true;
        QTest::newRow("finnhub") << "finnhub" << true << true;
    }
    void keyBoxAndTestFollowTheSource()
    {
        QFETCH(QString, source);
        QFETCH(bool, keyed);
        QFETCH(bool, testable);
        start();
        // With the simulated market in force, the store is not asked at all.
        QCOMPARE(m_platform.secrets.reads, 0);
        choose(QStringLiteral("finnhub"));
        QCOMPARE(m_platform.secrets.reads, 1);
        typeKey(QStringLiteral("typed"));
        choose(source);
        QCOMPARE(ui->txtApiKey->isEnabled(), keyed);
        QCOMPARE(ui->cmdTestSource->isEnabled(), testable);
        // A key typed for one source is never shown for another.
        QCOMPARE(ui->txtApiKey->text(),
                 source == QLatin1String("finnhub") ? QStringLiteral("typed") : QString());
    }

    void testSaysWhatHappened_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("tooMany");
        QTest::addColumn<QString>("said");
        QTest::newRow("finnhub, key taken") << "finnhub"
                                            << "fh-key" << 0 << "Finnhub answered: MSFT ";
        QTest::newRow("finnhub, key refused") << "finnhub"
                                              << "not-it" << 0 << "the Finnhub key was refused";
        QTest::newRow("stooq, check page") << "stooq"
                                           << "" << 0 << "Stooq asks for an API key";
        QTest::newRow("stooq, key taken") << "stooq"
                                          << "sq-key" << 0 << "Stooq answered: MSFT ";
        QTest::newRow("yahoo") << "yahoo"
                               << "" << 0 << "Yahoo Finance answered: MSFT ";
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
        choose(source);
        if (!key.isEmpty())
            typeKey(key);
        QSignalSpy finished(m_main->options()->sourceKeys, &QuoteSourceKeys::testFinished);
        ui->cmdTestSource->click();
        QVERIFY(!ui->cmdTestSource->isEnabled()); // one test at a time
        QVERIFY(finished.wait(15000));
        QVERIFY2(ui->lblSourceTest->text().startsWith(said), qPrintable(ui->lblSourceTest->text()));
        QVERIFY(key.isEmpty() || !ui->lblSourceTest->text().contains(key));
        QVERIFY(ui->cmdTestSource->isEnabled());
        QVERIFY(m_platform.secrets.stored.isEmpty()); // a test stores nothing
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
        QVERIFY2(QuoteFeed::inProcess(), "the feed's port is taken by another program");
        m_main->form()->ui->cmdOptions->click();
        choose(QStringLiteral("finnhub"));
        typeKey(QStringLiteral("  k-1 "));
        ui->cmdOK->click();
        QCOMPARE(m_main->options()->sourceKeys->key(QStringLiteral("finnhub")),
                 QStringLiteral("k-1"));
        QVERIFY(feedSource() && feedSource()->hasKey());
        QTRY_COMPARE(m_platform.secrets.writes, 1);
        QCOMPARE(m_platform.secrets.stored.value(QStringLiteral("QuoteSource/finnhub")),
                 storeRuns ? QStringLiteral("k-1") : QString());
        QTRY_COMPARE(m_platform.messageBox.shown.size(), storeRuns ? 0 : 1);
        QVERIFY(settingsFile().contains("finnhub"));
        QVERIFY(!settingsFile().contains("k-1"));

        // Another key later: stored again, and a missing store is not told twice.
        m_main->form()->ui->cmdOptions->click();
        QCOMPARE(ui->txtApiKey->text(), QStringLiteral("k-1"));
        typeKey(QStringLiteral("k-2"));
        ui->cmdOK->click();
        QTRY_COMPARE(m_platform.secrets.writes, 2);
        QCoreApplication::processEvents(); // the store's answer, queued
        QCOMPARE(m_platform.messageBox.shown.size(), storeRuns ? 0 : 1);
        if (!storeRuns)
            QVERIFY(m_platform.messageBox.shown.front().text.contains(
                QStringLiteral("asked for again at the next start")));
    }

    void cancelForgetsTheTypedKey()
    {
        m_platform.secrets.stored.insert(QStringLiteral("QuoteSource/stooq"),
                                         QStringLiteral("old"));
        start();
        m_main->form()->ui->cmdOptions->click();
        choose(QStringLiteral("stooq"));
        QTRY_COMPARE(ui->txtApiKey->text(), QStringLiteral("old"));
        // The key read for a choice not yet confirmed leaves the feed as it is.
        QVERIFY2(QuoteFeed::inProcess(), "the feed's port is taken by another program");
        QCOMPARE(QuoteFeed::inProcess()->sourceName(), QStringLiteral("simulated"));
        typeKey(QStringLiteral("new"));
        ui->cmdCancel->click();
        m_main->form()->ui->cmdOptions->click();
        choose(QStringLiteral("stooq"));
        QCOMPARE(ui->txtApiKey->text(), QStringLiteral("old"));
        QCOMPARE(m_platform.secrets.writes, 0);
    }

    void theStoredKeyReachesTheFeedAtStart()
    {
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("QuoteSource"),
                             QStringLiteral("finnhub"));
        QuoteFeed::setInProcessSource(QStringLiteral("finnhub"));
        QVERIFY(!feedSource() || !feedSource()->hasKey());
        m_platform.secrets.stored.insert(QStringLiteral("QuoteSource/finnhub"),
                                         QStringLiteral("kept"));
        start();
        QVERIFY2(QuoteFeed::inProcess(), "the feed's port is taken by another program");
        QTRY_VERIFY(feedSource() && feedSource()->hasKey());
        QCOMPARE(ui->txtApiKey->text(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestSourceKeys)
#include "tst_sourcekeys.moc"
