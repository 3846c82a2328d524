// The real program in a Wayland session: a headless weston, Qt's wayland platform and the
// test's own quote feed. It starts, downloads quotes and feeds its ticker, leaves window
// placement and keep-on-top to the compositor with one line on standard error, and ends
// cleanly.
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"

#include <QLibraryInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>

namespace {

const QString kSocket = QStringLiteral("wayland-vantora-test");

// The simulated market, counting the stock and the index requests.
class CountingSource : public MarketSource
{
public:
    std::atomic_int stock = 0;
    std::atomic_int index = 0;
    FeedReply answer(const FeedRequest &request) override
    {
        const QString fields = request.queryValue(u"f");
        ++(fields.startsWith(QLatin1String("nk1k2")) ? index : stock);
        return MarketSource::answer(request);
    }
};

QProcessEnvironment environment(const QMap<QString, QString> &values)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = values.begin(); it != values.end(); ++it)
        env.insert(it.key(), it.value());
    env.remove(QStringLiteral("DISPLAY"));
    return env;
}

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
        if (weston.isEmpty() || !QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                                                   "/platforms/libqwayland-generic.so")) {
            const char *what = "weston or Qt's wayland platform (qt6-wayland) is missing";
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL(what); // scripts/install-deps.sh installs both
            QSKIP(what);
        }
        QVERIFY(QDir().mkpath(runtimeDir()));
        QVERIFY(QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner |
                                                        QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner));
        m_weston.setProcessEnvironment(environment({{"XDG_RUNTIME_DIR", runtimeDir()}}));
        m_weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_weston.setStandardOutputFile(QProcess::nullDevice());
        m_weston.start(weston, {"--backend=headless-backend.so", "--socket=" + kSocket,
                                "--idle-time=0", "--no-config"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtimeDir() + u'/' + kSocket) ||
                                     m_weston.state() == QProcess::NotRunning,
                                 30000);
        QCOMPARE(m_weston.state(), QProcess::Running);
    }

    void cleanupTestCase()
    {
        m_weston.terminate();
        if (!m_weston.waitForFinished(10000))
            m_weston.kill();
    }

    void runsUnderWeston()
    {
        auto source = std::make_shared<CountingSource>();
        QuoteFeed feed(source);
        QVERIFY(feed.start(QHostAddress::LocalHost, 0) != 0);
        const QString base = feed.baseUrl() + QStringLiteral("/download/quotes.csv?f=");
        {
            QSettings settings(m_dir.filePath("config/Vantora/Vantora.conf"), QSettings::IniFormat);
            settings.setValue("Settings/FirstRun", "1");
            settings.setValue("Settings/StockURL", QString(base + "spelcvomrn=.csv&s="));
            settings.setValue("Settings/MarketURL", QString(base + "nk1k2=.csv&s="));
            settings.setValue("Settings/IndicesURL", QString(feed.baseUrl() + "/m1?u"));
            // A stored position and keep-on-top, both of which the compositor decides.
            settings.setValue("Settings/Portfolios/Default/Top", "1500");
            settings.setValue("Settings/Portfolios/Default/Left", "1500");
            settings.setValue("Settings/Portfolios/Default/KeepOnTop", "1");
        }

        QProcess vantora;
        vantora.setProcessEnvironment(environment({{"QT_QPA_PLATFORM", "wayland"},
                                                   {"WAYLAND_DISPLAY", kSocket},
                                                   {"XDG_RUNTIME_DIR", runtimeDir()},
                                                   {"XDG_CONFIG_HOME", m_dir.filePath("config")},
                                                   {"VANTORA_HOME", m_dir.filePath("home")}}));
        vantora.setProcessChannelMode(QProcess::MergedChannels);
        vantora.start(QStringLiteral(VANTORA_EXECUTABLE), {});
        // Quotes for the grid, then the indices for the ticker.
        QTRY_VERIFY_WITH_TIMEOUT((source->stock >= 1 && source->index >= 1) ||
                                     vantora.state() == QProcess::NotRunning,
                                 120000);
        QCOMPARE(vantora.state(), QProcess::Running);

        ::kill(pid_t(vantora.processId()), SIGTERM);
        QVERIFY(vantora.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(vantora.readAll());
        QVERIFY2(vantora.exitStatus() == QProcess::NormalExit && vantora.exitCode() == 0,
                 qPrintable(output));
        QVERIFY2(!output.contains("Ticker control not available"), qPrintable(output));
        QCOMPARE(output.count("the compositor places the windows"), 1);
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
