// The real program in a Wayland session: a headless weston, Qt's wayland platform and the
// test's own quote feed. It starts, downloads quotes and feeds its ticker, leaves window
// placement and keep-on-top to the compositor with one line on standard error, and ends
// cleanly.

#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/QuoteSource.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMutex>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QString kSocket = QStringLiteral("wayland-vantora-test");

// The simulated market, counting the stock and the index requests.
class CountingSource : public QuoteSource
{
public:
    FeedReply answer(const FeedRequest &request) override
    {
        const QMutexLocker lock(&m_mutex);
        const QString fields = request.queryValue(u"f");
        if (fields.startsWith(QLatin1String("spelcvomrn")))
            ++m_stock;
        else if (fields.startsWith(QLatin1String("nk1k2")))
            ++m_index;
        return m_market.answer(request);
    }
    int stock() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_stock;
    }
    int index() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_index;
    }

private:
    mutable QMutex m_mutex;
    MarketSource m_market{3};
    int m_stock = 0;
    int m_index = 0;
};

} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_weston;

    QString runtimeDir() const { return m_dir.filePath("runtime"); }

private Q_SLOTS:
    void initTestCase()
    {
        const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
        const bool plugin = QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                                              QStringLiteral("/platforms/libqwayland-generic.so"));
        if (weston.isEmpty() || !plugin) {
            const char *what = "weston or Qt's wayland platform (qt6-wayland) is missing";
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL(what); // scripts/install-deps.sh installs both
            QSKIP(what);
        }
        QVERIFY(QDir().mkpath(runtimeDir()));
        QVERIFY(QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner |
                                                        QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        m_weston.setProcessEnvironment(env);
        m_weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_weston.setStandardOutputFile(QProcess::nullDevice());
        m_weston.start(weston, {QStringLiteral("--backend=headless-backend.so"),
                                QStringLiteral("--socket=") + kSocket,
                                QStringLiteral("--idle-time=0"), QStringLiteral("--no-config")});
        QVERIFY(m_weston.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtimeDir() + u'/' + kSocket) ||
                                     m_weston.state() == QProcess::NotRunning,
                                 30000);
        QCOMPARE(m_weston.state(), QProcess::Running);
    }

    void cleanupTestCase()
    {
        if (m_weston.state() == QProcess::Running) {
            m_weston.terminate();
            if (!m_weston.waitForFinished(10000))
                m_weston.kill();
        }
    }

    void runsUnderWeston()
    {
        auto source = std::make_shared<CountingSource>();
        QuoteFeed feed(source);
        QVERIFY(feed.start(QHostAddress::LocalHost, 0) != 0);
        const QString base = feed.baseUrl();
        {
            QSettings settings(m_dir.filePath("config/Vantora/Vantora.conf"), QSettings::IniFormat);
            settings.setValue("Settings/FirstRun", "1");
            settings.setValue(
                "Settings/StockURL",
                QString(base + QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=")));
            settings.setValue(
                "Settings/MarketURL",
                QString(base + QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=")));
            settings.setValue("Settings/IndicesURL", QString(base + QStringLiteral("/m1?u")));
            // A stored position and keep-on-top, both of which the compositor decides.
            settings.setValue("Settings/Portfolios/Default/Top", "1500");
            settings.setValue("Settings/Portfolios/Default/Left", "1500");
            settings.setValue("Settings/Portfolios/Default/KeepOnTop", "1");
        }

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath("config"));
        env.insert(QStringLiteral("VANTORA_HOME"), m_dir.filePath("home"));
        env.remove(QStringLiteral("DISPLAY"));
        QProcess vantora;
        vantora.setProcessEnvironment(env);
        vantora.setProcessChannelMode(QProcess::MergedChannels);
        vantora.start(QStringLiteral(VANTORA_EXECUTABLE), {});
        QVERIFY(vantora.waitForStarted());

        // Quotes for the grid, then the indices for the ticker.
        QTRY_VERIFY_WITH_TIMEOUT((source->stock() >= 1 && source->index() >= 1) ||
                                     vantora.state() == QProcess::NotRunning,
                                 120000);
        QCOMPARE(vantora.state(), QProcess::Running);

        ::kill(pid_t(vantora.processId()), SIGTERM);
        QVERIFY(vantora.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(vantora.readAll());
        QVERIFY2(vantora.exitStatus() == QProcess::NormalExit && vantora.exitCode() == 0,
                 qPrintable(output));
        QVERIFY2(!output.contains(QLatin1String("Ticker control not available")),
                 qPrintable(output));
        QCOMPARE(output.count(QLatin1String("the compositor places the windows")), 1);
        QVERIFY2(!output.contains(QLatin1String("Could not")), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
