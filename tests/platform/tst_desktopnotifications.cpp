// The desktop notifications as a notification service sees them: python3-dbusmock's
// notification daemon on a private session bus, then a bus without the service and one whose
// service never answers.
#include "platform/DesktopNotifications.h"

#include <QDBusConnectionInterface>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Takes every call and never answers it.
class SilentService : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return QString(); }
    bool handleMessage(const QDBusMessage &, const QDBusConnection &) override { return true; }
};

} // namespace

class TestDesktopNotifications : public QObject
{
    Q_OBJECT

    QProcess m_bus;
    QString m_address;
    QString m_python;
    QTemporaryDir m_dir;

    static QDBusConnection bus() { return QDBusConnection(QStringLiteral("private")); }
    bool serviceThere() const { return bus().interface()->isServiceRegistered(kService).value(); }

private Q_SLOTS:
    void initTestCase()
    {
        // The distribution's python, where its dbusmock lives, before any other on the path.
        for (const QString python : {"/usr/bin/python3", "python3"})
            if (m_python.isEmpty() && QProcess::execute(python, {"-c", "import dbusmock"}) == 0)
                m_python = python;
        if (m_python.isEmpty() || QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
            const char *what = "needs python3-dbusmock and dbus-daemon (scripts/install-deps.sh)";
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL(what);
            QSKIP(what);
        }
        m_bus.start("dbus-daemon", {"--session", "--print-address", "--nofork", "--nopidfile"});
        QVERIFY(m_bus.waitForReadyRead(10000));
        m_address = QString::fromLatin1(m_bus.readLine().trimmed());
        QVERIFY(QDBusConnection::connectToBus(m_address, QStringLiteral("private")).isConnected());
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("private"));
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    void deliveredToTheService()
    {
        const QString log = m_dir.filePath("calls.log");
        QProcess mock;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
        mock.setProcessEnvironment(env);
        mock.start(m_python,
                   {"-m", "dbusmock", "--template", "notification_daemon", "--logfile", log});
        QTRY_VERIFY_WITH_TIMEOUT(serviceThere(), 10000);

        DesktopNotifications notifications(bus());
        QSignalSpy delivered(&notifications, &DesktopNotifications::delivered);
        QSignalSpy dropped(&notifications, &DesktopNotifications::dropped);
        notifications.notify("MSFT at or above $50.00", "Last price $50.25 at 3:17pm");
        QVERIFY(delivered.wait(10000));
        QCOMPARE(dropped.count(), 0);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString call = QString::fromUtf8(file.readAll());
        // app name, replaces id, icon, summary, body
        QVERIFY2(call.contains("Notify \"Vantora\" 0 \"org.vantora.vantora\" "
                               "\"MSFT at or above $50.00\" \"Last price $50.25 at 3:17pm\""),
                 qPrintable(call));
        mock.terminate();
        mock.waitForFinished();
        QTRY_VERIFY(!serviceThere());
    }

    // Without a service, or with one that never answers, the notification is dropped and the
    // caller never waits for it.
    void droppedWhenNobodyAnswers_data()
    {
        QTest::addColumn<bool>("silentService");
        QTest::newRow("no service") << false;
        QTest::newRow("silent service") << true;
    }

    void droppedWhenNobodyAnswers()
    {
        QFETCH(bool, silentService);
        SilentService silent;
        QDBusConnection owner = QDBusConnection::connectToBus(m_address, "silent");
        if (silentService) {
            QVERIFY(owner.registerService(kService));
            QVERIFY(owner.registerVirtualObject(kPath, &silent));
        }
        DesktopNotifications notifications(bus());
        QSignalSpy delivered(&notifications, &DesktopNotifications::delivered);
        QSignalSpy dropped(&notifications, &DesktopNotifications::dropped);
        notifications.notify("IBM at or below $80.50", "Last price $75");
        QCOMPARE(dropped.count(), 0); // the answer is not waited for
        QVERIFY(dropped.wait(10000));
        QCOMPARE(delivered.count(), 0);
        owner.unregisterObject(kPath);
        owner.unregisterService(kService);
        QDBusConnection::disconnectFromBus("silent");
    }
};

QTEST_GUILESS_MAIN(TestDesktopNotifications)
#include "tst_desktopnotifications.moc"
