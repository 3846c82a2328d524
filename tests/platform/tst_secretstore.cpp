// The secret store as the desktop keeps it: a real gnome-keyring-daemon, unlocked, on a
// private session bus that starts nothing by itself. Then the same calls with the daemon
// gone, as on a desktop where no secret store runs.
#include "platform/SecretStoreKeychain.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtDBus>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

// A session bus that starts no service by itself: only the daemon the test runs answers.
constexpr char kBusConfig[] = "<busconfig>\n"
                              "  <type>session</type>\n"
                              "  <listen>unix:tmpdir=/tmp</listen>\n"
                              "  <policy context='default'>\n"
                              "    <allow send_destination='*' eavesdrop='true'/>\n"
                              "    <allow eavesdrop='true'/>\n"
                              "    <allow own='*'/>\n"
                              "  </policy>\n"
                              "</busconfig>\n";

struct Answer
{
    bool done = false;
    SecretStore::Status status = SecretStore::Status::Unavailable;
    QString secret;
};

} // namespace

class TestSecretStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_keyring;
    KeychainSecretStore m_store;

    // Reads (secret null) or writes a secret and waits for the store's answer; the first
    // call may wait for the store to open its collection.
    Answer call(const QString &name, const std::optional<QString> &secret = std::nullopt)
    {
        // Shared with the callback, which may come after a time-out.
        auto answer = std::make_shared<Answer>();
        if (secret)
            m_store.write(name, *secret, this, [answer](SecretStore::Status status) {
                *answer = {true, status, {}};
            });
        else
            m_store.read(name, this, [answer](SecretStore::Status status, const QString &text) {
                *answer = {true, status, text};
            });
        [&] { QTRY_VERIFY_WITH_TIMEOUT(answer->done, 20000); }();
        return *answer;
    }
    // True when some file under the test's folders holds the text.
    bool inAnyFile(const QString &text) const
    {
        for (const QString &root : {qEnvironmentVariable("XDG_CONFIG_HOME"), m_dir.path()}) {
            QDirIterator files(root, QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text.toUtf8()))
                    return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty() ||
            QStandardPaths::findExecutable("gnome-keyring-daemon").isEmpty() ||
            QStandardPaths::findExecutable("secret-tool").isEmpty()) {
            const char *what =
                "needs dbus-daemon, gnome-keyring and libsecret-tools (scripts/install-deps.sh)";
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL(what);
            QSKIP(what);
        }
        // A settings file of the program's own names, where a plain-text fallback would go.
        QCoreApplication::setOrganizationName(QStringLiteral("Vantora"));
        QCoreApplication::setApplicationName(QStringLiteral("Vantora"));
        QFile config(m_dir.filePath("bus.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(kBusConfig);
        config.close();
        m_bus.start("dbus-daemon",
                    {"--config-file=" + config.fileName(), "--print-address", "--nofork"});
        QVERIFY(m_bus.waitForReadyRead(10000));
        const QByteArray address = m_bus.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *variable : {"HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            QVERIFY(QDir(m_dir.path()).mkpath(QLatin1String(variable)));
            env.insert(QLatin1String(variable), m_dir.filePath(QLatin1String(variable)));
        }
        m_keyring.setProcessEnvironment(env);
        m_keyring.start("gnome-keyring-daemon",
                        {"--foreground", "--unlock", "--components=secrets"});
        QVERIFY(m_keyring.waitForStarted());
        m_keyring.write("test-password");
        m_keyring.closeWriteChannel();
        QDBusConnection probe =
            QDBusConnection::connectToBus(QString::fromLatin1(address), "probe");
        QVERIFY(probe.isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(
            probe.interface()->isServiceRegistered("org.freedesktop.secrets").value(), 20000);
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus("probe");
        m_keyring.kill();
        m_keyring.waitForFinished();
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    void keptInTheStoreOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("secret");
        QTest::newRow("a key") << "QuoteSource/finnhub"
                               << "d0k3y-12345";
        QTest::newRow("spaces and accents") << "QuoteSource/stooq"
                                            << "clé à part 9";
    }
    void keptInTheStoreOnly()
    {
        QFETCH(QString, name);
        QFETCH(QString, secret);
        QCOMPARE(call(name).status, SecretStore::Status::NotFound);
        QCOMPARE(call(name, secret).status, SecretStore::Status::Ok);
        const Answer back = call(name);
        QCOMPARE(back.status, SecretStore::Status::Ok);
        QCOMPARE(back.secret, secret);
        // Another program of the desktop finds it under the program's name.
        QProcess lookup;
        lookup.start("secret-tool", {"lookup", "server", "Vantora", "user", name});
        QVERIFY(lookup.waitForFinished(20000));
        QCOMPARE(QString::fromUtf8(lookup.readAllStandardOutput()).trimmed(), secret);
        QVERIFY2(!inAnyFile(secret), "the key reached a file in plain text");

        // Removing it, and removing it again.
        QCOMPARE(call(name, QString()).status, SecretStore::Status::Ok);
        QCOMPARE(call(name).status, SecretStore::Status::NotFound);
        QCOMPARE(call(name, QString()).status, SecretStore::Status::Ok);
    }

    // Runs last: the daemon goes away.
    void withoutAStoreNothingIsKept()
    {
        m_keyring.kill();
        QVERIFY(m_keyring.waitForFinished());
        QCOMPARE(call("QuoteSource/finnhub", QStringLiteral("lost-key-77")).status,
                 SecretStore::Status::Unavailable);
        QCOMPARE(call("QuoteSource/finnhub").status, SecretStore::Status::Unavailable);
        QVERIFY(!inAnyFile("lost-key-77"));
    }
};

QTEST_GUILESS_MAIN(TestSecretStore)
#include "tst_secretstore.moc"
