#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The real program, started as a process: its command line, and the desktop ending it.
class TestProgramLife : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("VANTORA_HOME", m_dir.filePath("home"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // The quote addresses point at a closed port: no feed is started, nothing is
        // fetched, and the lamp goes red.
        return env;
    }

    QString configFile() const { return m_dir.filePath("config/Vantora/Vantora.conf"); }

    void writeConfig(const QMap<QString, QString> &values)
    {
        QSettings settings(configFile(), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }

    QString stored(const QString &key) const
    {
        QSettings settings(configFile(), QSettings::IniFormat);
        return settings.value(key).toString();
    }

    // Starts Vantora, waits until its start-up has run (it writes the window mode), then
    // sends it a signal and waits for it to end.
    void runAndSignal(int signal)
    {
        QProcess vantora;
        vantora.setProcessEnvironment(environment());
        vantora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        vantora.start(VANTORA_EXECUTABLE, {});
        QVERIFY(vantora.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!stored("Settings/Portfolios/Default/Mode").isEmpty(), 60000);
        ::kill(pid_t(vantora.processId()), signal);
        QVERIFY(vantora.waitForFinished(60000));
        QCOMPARE(vantora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vantora.exitCode(), 0);
    }

private Q_SLOTS:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.filePath("config/Vantora"));
        QDir().mkpath(m_dir.filePath("home"));
    }

    void version()
    {
        QProcess vantora;
        vantora.setProcessEnvironment(environment());
        vantora.start(VANTORA_EXECUTABLE, {"--version"});
        QVERIFY(vantora.waitForFinished(30000));
        QCOMPARE(vantora.exitCode(), 0);
        QCOMPARE(vantora.readAllStandardOutput().trimmed(), QByteArray("Vantora v2.0"));
    }

    void help()
    {
        QProcess vantora;
        vantora.setProcessEnvironment(environment());
        vantora.start(VANTORA_EXECUTABLE, {"--help"});
        QVERIFY(vantora.waitForFinished(30000));
        QCOMPARE(vantora.exitCode(), 0);
        const QByteArray out = vantora.readAllStandardOutput();
        QVERIFY(out.contains("Usage:"));
        QVERIFY(out.contains("--version"));
    }

    void sigtermSavesEveryDefault_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void sigtermSavesEveryDefault()
    {
        QFETCH(int, signal);
        writeConfig(
            {{"Settings/FirstRun", "1"},
             {"Settings/StockURL", "http://127.0.0.1:9/download/quotes.csv?f=spelcvomrn=.csv&s="},
             {"Settings/MarketURL", "http://127.0.0.1:9/download/quotes.csv?f=nk1k2=.csv&s="},
             {"Settings/IndicesURL", "http://127.0.0.1:9/m1?u"}});
        runAndSignal(signal);
        const QString p = QStringLiteral("Settings/Portfolios/Default/");
        QCOMPARE(stored(p + "UpdateSeconds"), QString("9"));
        QCOMPARE(stored(p + "SortOrder0"), QString("True"));
        QCOMPARE(stored(p + "SortOrder1"), QString("False"));
        QCOMPARE(stored(p + "EvenRowColor"), QString("16384"));
        QCOMPARE(stored(p + "Index0"), QString("1"));
        QCOMPARE(stored(p + "Index1"), QString("0"));
        QCOMPARE(stored(p + "Symbol3"), QString("DELL"));
        QCOMPARE(stored(p + "Top"), QString("0"));
        QCOMPARE(stored(p + "Left"), QString("0"));
        QCOMPARE(stored(p + "ScrollSpeed"), QString("3"));
        QCOMPARE(stored(p + "UseDefaultColors"), QString("1"));
        QCOMPARE(stored("Settings/StartPortfolio"), QString("Default"));
        QCOMPARE(stored("Settings/Portfolio0"), QString("Default"));
    }
};

QTEST_GUILESS_MAIN(TestProgramLife)
#include "tst_programlife.moc"
