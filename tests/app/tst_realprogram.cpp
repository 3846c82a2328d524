// The real program against a quote service run by the test: what it asks for, what it
// logs and what it stores, seen only from outside (requests, files and the store).

#include "common/Numbers.h"
#include "feed/FeedConfig.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/QuoteSource.h"
#include "support/QuoteAnswers.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QString kStockPath = QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=");
const QString kIndexPath = QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=");
const QStringList kDefaultIndexRequests = {
    kIndexPath + QStringLiteral("%5Edji"), kIndexPath + QStringLiteral("%5Egspc"),
    kIndexPath + QStringLiteral("%5Exax"), kIndexPath + QStringLiteral("%5Enya"),
    kIndexPath + QStringLiteral("%5Eixic")};

// Answers stock requests from a list of bodies, one per download (the last one repeats),
// and index requests from the simulated market; keeps every request it was sent.
class RecordingSource : public QuoteSource
{
public:
    explicit RecordingSource(QList<QByteArray> stockBodies) : m_stockBodies(std::move(stockBodies))
    {
    }

    FeedReply answer(const FeedRequest &request) override
    {
        const QMutexLocker lock(&m_mutex);
        m_requests.push_back(request.target());
        if (request.queryValue(u"f").startsWith(QLatin1String("spelcvomrn"))) {
            const QByteArray body = m_stockBodies.value(m_stockAnswers, m_stockBodies.last());
            ++m_stockAnswers;
            return m_trickleMs > 0 ? FeedReply::trickle(body, m_trickleMs) : FeedReply::text(body);
        }
        return m_market.answer(request);
    }

    QStringList requests() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_requests;
    }

    // Stock answers come one byte every ms milliseconds.
    void setTrickle(int ms)
    {
        const QMutexLocker lock(&m_mutex);
        m_trickleMs = ms;
    }

    int stockRequests() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_stockAnswers;
    }

private:
    mutable QMutex m_mutex;
    QList<QByteArray> m_stockBodies;
    int m_stockAnswers = 0;
    int m_trickleMs = 0;
    QStringList m_requests;
    MarketSource m_market{7};
};

} // namespace

class TestRealProgram : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<RecordingSource> m_source;
    std::unique_ptr<QuoteFeed> m_feed;

    QString configFile() const { return m_dir.filePath("config/Vantora/Vantora.conf"); }
    QString logFolder() const { return m_dir.filePath("home/Log Files"); }

    void startFeed(QList<QByteArray> stockBodies)
    {
        m_source = std::make_shared<RecordingSource>(std::move(stockBodies));
        m_feed = std::make_unique<QuoteFeed>(m_source);
        QVERIFY(m_feed->start(QHostAddress::LocalHost, 0) != 0);
    }

    // A store whose agreement was accepted and whose addresses point at the test's feed.
    void writeProgramSettings(QSettings &settings) const
    {
        const QString base = m_feed->baseUrl();
        settings.setValue("Settings/FirstRun", "1");
        settings.setValue("Settings/StockURL", QString(base + kStockPath));
        settings.setValue("Settings/MarketURL", QString(base + kIndexPath));
        settings.setValue("Settings/IndicesURL", QString(base + QStringLiteral("/m1?u")));
    }

    static void writeSymbols(QSettings &settings, const QString &portfolio,
                             const QList<std::pair<QString, QString>> &symbols,
                             const QList<bool> &logged = {})
    {
        const QString section = QStringLiteral("Settings/Portfolios/") + portfolio + u'/';
        for (int i = 0; i < symbols.size(); ++i) {
            settings.setValue(section + QStringLiteral("Symbol%1").arg(i), symbols[i].first);
            settings.setValue(section + QStringLiteral("Shares%1").arg(i + 1), symbols[i].second);
            settings.setValue(section + QStringLiteral("Log%1").arg(i + 1),
                              logged.value(i) ? "1" : "0");
        }
    }

    QString stored(const QString &key) const
    {
        QSettings settings(configFile(), QSettings::IniFormat);
        return settings.value(key).toString();
    }

    void startVantora(QProcess &vantora)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("VANTORA_HOME", m_dir.filePath("home"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Dates and month names of the logs in a known form.
        env.insert("LC_ALL", "en_US.UTF-8");
        env.insert("LANG", "en_US.UTF-8");
        vantora.setProcessEnvironment(env);
        vantora.setProcessChannelMode(QProcess::ForwardedChannels);
        vantora.start(VANTORA_EXECUTABLE, {});
        QVERIFY(vantora.waitForStarted());
    }

    // Ends Vantora as the desktop does at log-out; it saves its settings on the way.
    static void endVantora(QProcess &vantora)
    {
        ::kill(pid_t(vantora.processId()), SIGTERM);
        QVERIFY(vantora.waitForFinished(60000));
        QCOMPARE(vantora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vantora.exitCode(), 0);
    }

    // The requests after the n-th stock request (counted from 0) up to the next one.
    QStringList requestsAfterDownload(int n) const
    {
        QStringList after;
        int seen = -1;
        for (const QString &request : m_source->requests()) {
            if (request.startsWith(kStockPath)) {
                ++seen;
                continue;
            }
            if (seen == n)
                after.push_back(request);
        }
        return after;
    }

    // The web engine's library is mapped into the process.
    static bool engineLoaded(qint64 pid)
    {
        return readAll(QStringLiteral("/proc/%1/maps").arg(pid)).contains("libQt6WebEngineCore");
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.filePath("config/Vantora"));
        QDir().mkpath(m_dir.filePath("home"));
    }

    void cleanup()
    {
        m_feed.reset();
        m_source.reset();
    }

    // A first start with only the agreement recorded: the four default symbols are asked
    // for, in one request of exactly this form.
    void firstRequestOfAFreshStore()
    {
        startFeed({quoteLine("MSFT", "57.67", "57.00")});
        {
            QSettings settings(configFile(), QSettings::IniFormat);
            writeProgramSettings(settings);
        }
        QProcess vantora;
        startVantora(vantora);
        QTRY_VERIFY_WITH_TIMEOUT(requestsAfterDownload(0).size() == 5, 60000);
        // The start page waits for the closed tray: the web engine is not even loaded.
        QVERIFY(!engineLoaded(vantora.processId()));
        endVantora(vantora);
        QCOMPARE(m_source->requests().value(0),
                 QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=msft,csco,ibm,dell,"));
    }

    // A second start for the same store shows the running window and ends at once; the
    // first goes on, and --version still answers.
    void secondStartHandsOverToTheFirst()
    {
        startFeed({quoteLine("MSFT", "57.67", "57.00")});
        {
            QSettings settings(configFile(), QSettings::IniFormat);
            writeProgramSettings(settings);
        }
        QProcess first;
        startVantora(first);
        QTRY_VERIFY_WITH_TIMEOUT(m_source->stockRequests() > 0, 60000);
        const int requests = m_source->stockRequests();
        for (const QStringList &arguments : {QStringList{}, QStringList{"--version"}}) {
            QProcess second;
            second.setProcessEnvironment(first.processEnvironment());
            second.start(VANTORA_EXECUTABLE, arguments);
            QVERIFY(second.waitForFinished(60000));
            QCOMPARE(second.exitStatus(), QProcess::NormalExit);
            QCOMPARE(second.exitCode(), 0);
            if (!arguments.isEmpty()) {
                QVERIFY(second.readAllStandardOutput().startsWith("Vantora v"));
                QCOMPARE(second.readAllStandardError(), QByteArray()); // --version says only that
            }
        }
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(m_source->stockRequests(), requests); // the second never downloaded
        endVantora(first);
    }

    // With the default addresses Vantora runs its own quote service, which answers the
    // default stock address while the program runs.
    void defaultAddressAnsweredWhileRunning()
    {
        {
            QSettings settings(configFile(), QSettings::IniFormat);
            settings.setValue("Settings/FirstRun", "1");
        }
        QProcess vantora;
        startVantora(vantora);
        QNetworkAccessManager network;
        QByteArray body;
        // The service starts with the program; ask until it answers.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                std::unique_ptr<QNetworkReply> reply(network.get(
                    QNetworkRequest(QUrl(FeedConfig::defaultStockUrl() + "msft,ibm,"))));
                QSignalSpy finished(reply.get(), &QNetworkReply::finished);
                if (!finished.wait(5000) || reply->error() != QNetworkReply::NoError)
                    return false;
                body = reply->readAll();
                return true;
            }(),
            60000);
        endVantora(vantora);
        const QList<QByteArray> lines = body.split('\n');
        QCOMPARE(lines.size(), 3); // two lines, each ending in CR LF
        QVERIFY(lines.at(0).startsWith("\"MSFT\","));
        QVERIFY(lines.at(0).endsWith('\r'));
        QVERIFY(lines.at(1).startsWith("\"IBM\","));
    }

    // Two downloads a minute apart with logging on: per-symbol logs exact to the character,
    // each data line carrying the portfolio's value and gain of the download before, and
    // every download followed by the requests for the ticked indices in order.
    void downloadsLogAndFetchIndices()
    {
        startFeed({quoteLine("MSFT", "57.67", "57.00") + quoteLine("IBM", "80.00", "81.00") +
                       quoteLine("DELL", "20", "20"),
                   quoteLine("MSFT", "58.00", "57.00") + quoteLine("IBM", "79.50", "81.00") +
                       quoteLine("DELL", "23", "20")});
        {
            QSettings settings(configFile(), QSettings::IniFormat);
            writeProgramSettings(settings);
            writeSymbols(settings, "Default", {{"MSFT", "10"}, {"IBM", "5"}, {"DELL", "1"}},
                         {true, true, false});
            const QString section = QStringLiteral("Settings/Portfolios/Default/");
            settings.setValue(section + "AutoUpdate", "1");
            settings.setValue(section + "UpdateSeconds", "0"); // every minute
            settings.setValue(section + "QuoteLogging", "1");
            settings.setValue(section + "SeparateLogFiles", "1");
            settings.setValue(section + "ShowStockValue", "1");
            settings.setValue(section + "StartHomePage", "0");
        }

        QProcess vantora;
        startVantora(vantora);
        // The first download at start-up, the second when the minute has passed.
        QTRY_VERIFY_WITH_TIMEOUT(m_source->stockRequests() >= 2, 150000);
        QTRY_COMPARE_WITH_TIMEOUT(requestsAfterDownload(1).size(), 5, 60000);
        endVantora(vantora);

        const QStringList requests = m_source->requests();
        QCOMPARE(requests.value(0), kStockPath + QStringLiteral("msft,ibm,dell,"));
        QCOMPARE(requestsAfterDownload(0), kDefaultIndexRequests);
        QCOMPARE(requestsAfterDownload(1), kDefaultIndexRequests);
        QCOMPARE(requests.count(kStockPath + QStringLiteral("msft,ibm,dell,")), 2);

        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QDate today = QDate::currentDate();
        const QString month = MonthTag(today, english);
        const QByteArray date = ShortDate(today, english).toLatin1();
        const QByteArray heading = "Date\tSymbol\tPre Close\tEPS\tTime\tLast\tChange\tPercent\t"
                                   "Portfolio Value\tGain / Loss Today\r\n";
        QCOMPARE(QDir(logFolder()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"IBM " + month + ".txt", "MSFT " + month + ".txt"}));
        QCOMPARE(readAll(logFolder() + "/MSFT " + month + ".txt"),
                 heading + date +
                     "\tMSFT\t10.00\t1.25\t3:17pm\t58.00\t+0.50\t+5.00%\t996.70\t+1.70\r\n");
        QCOMPARE(readAll(logFolder() + "/IBM " + month + ".txt"),
                 heading + date +
                     "\tIBM\t10.00\t1.25\t3:17pm\t79.50\t+0.50\t+5.00%\t996.70\t+1.70\r\n");
    }

    // Ended by the desktop while the quote answer trickles in: the program ends without
    // waiting for the rest, saves its settings, and the part that arrived is never taken
    // for an answer (nothing is logged).
    void endedDuringASlowAnswer()
    {
        startFeed({quoteLine("MSFT", "57.67", "57.00")});
        m_source->setTrickle(1000);
        {
            QSettings settings(configFile(), QSettings::IniFormat);
            writeProgramSettings(settings);
            writeSymbols(settings, "Default", {{"MSFT", "10"}}, {true});
            settings.setValue("Settings/Portfolios/Default/QuoteLogging", "1");
        }
        QProcess vantora;
        startVantora(vantora);
        QTRY_COMPARE_WITH_TIMEOUT(m_source->stockRequests(), 1, 60000);
        // The whole answer would take minutes; the end must not wait for it.
        ::kill(pid_t(vantora.processId()), SIGTERM);
        QVERIFY(vantora.waitForFinished(30000));
        QCOMPARE(vantora.exitCode(), 0);
        QCOMPARE(stored("Settings/Portfolios/Default/Symbol0"), QStringLiteral("MSFT"));
        QVERIFY(!stored("Settings/Portfolios/Default/Mode").isEmpty());
        QVERIFY(QDir(logFolder()).entryList(QDir::Files).isEmpty());
        QCOMPARE(m_source->requests().size(), 1);
    }

    // A store with two portfolios: the start portfolio's symbols are requested, and at exit
    // each portfolio keeps its own rows. A stored start position beyond the list selects the
    // first entry, whose portfolio is then the one loaded and saved.
    void startPortfolioOfTwo_data()
    {
        QTest::addColumn<QString>("startIndex");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("storedIndex");
        QTest::newRow("position of the start portfolio") << "1"
                                                         << "Growth"
                                                         << "nvda,amd,"
                                                         << "1";
        QTest::newRow("position beyond the list") << "7"
                                                  << "Default"
                                                  << "msft,ibm,"
                                                  << "0";
    }

    void startPortfolioOfTwo()
    {
        QFETCH(QString, startIndex);
        QFETCH(QString, loaded);
        QFETCH(QString, request);
        QFETCH(QString, storedIndex);
        startFeed({quoteLine("NVDA", "120.00", "118.00") + quoteLine("AMD", "150.00", "151.00")});
        {
            QSettings settings(configFile(), QSettings::IniFormat);
            writeProgramSettings(settings);
            settings.setValue("Settings/Portfolio0", "Default");
            settings.setValue("Settings/Portfolio1", "Growth");
            settings.setValue("Settings/StartPortfolio", "Growth");
            settings.setValue("Settings/StartPortfolioIndex", startIndex);
            writeSymbols(settings, "Default", {{"MSFT", "10"}, {"IBM", "5"}});
            writeSymbols(settings, "Growth", {{"NVDA", "3"}, {"AMD", "4"}});
        }

        QProcess vantora;
        startVantora(vantora);
        QTRY_VERIFY_WITH_TIMEOUT(requestsAfterDownload(0).size() == 5, 60000);
        endVantora(vantora);

        QCOMPARE(m_source->requests().value(0), kStockPath + request);
        QCOMPARE(m_source->stockRequests(), 1);
        QCOMPARE(stored("Settings/StartPortfolio"), loaded);
        QCOMPARE(stored("Settings/StartPortfolioIndex"), storedIndex);
        QCOMPARE(stored("Settings/Portfolio0"), QStringLiteral("Default"));
        QCOMPARE(stored("Settings/Portfolio1"), QStringLiteral("Growth"));
        QVERIFY(stored("Settings/Portfolio2").isEmpty());
        // Each portfolio keeps its own rows.
        QCOMPARE(stored("Settings/Portfolios/Growth/Symbol0"), QStringLiteral("NVDA"));
        QCOMPARE(stored("Settings/Portfolios/Growth/Symbol1"), QStringLiteral("AMD"));
        QCOMPARE(stored("Settings/Portfolios/Growth/Shares2"), QStringLiteral("4"));
        QCOMPARE(stored("Settings/Portfolios/Default/Symbol0"), QStringLiteral("MSFT"));
        QCOMPARE(stored("Settings/Portfolios/Default/Symbol1"), QStringLiteral("IBM"));
        QCOMPARE(stored("Settings/Portfolios/Default/Shares1"), QStringLiteral("10"));
        // Only the loaded portfolio's section receives the bulk of the settings.
        const QString other = loaded == QLatin1String("Growth") ? QStringLiteral("Default")
                                                                : QStringLiteral("Growth");
        QVERIFY(!stored("Settings/Portfolios/" + loaded + "/Mode").isEmpty());
        QVERIFY(stored("Settings/Portfolios/" + other + "/Mode").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRealProgram)
#include "tst_realprogram.moc"
