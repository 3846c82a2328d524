// Connectivity against a mocked NetworkManager on a private bus of its own.
#include "app/MainState.h"
#include "common/Colors.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "options/frmOptions.h"
#include "platform/NetworkManager.h"
#include "platform/RealPlatform.h"
#include "platform/TestDoubles.h"
#include "ui_frmOptions.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using Settings = QMap<QString, QVariantMap>;
namespace {
const QString kNm = QStringLiteral("org.freedesktop.NetworkManager");
const QString kNmPath = QStringLiteral("/org/freedesktop/NetworkManager");
} // namespace

class TestConnectivity : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void listsDialsAndHangsUp();
    void modemBit_data();
    void modemBit();
    void watchdog_data();
    void watchdog();
    void networkManagerAbsent();

private:
    // A call to the mock; `path` relative to NetworkManager's own object unless absolute.
    QVariant call(const QString &path, const QString &iface, const QString &method,
                  const QVariantList &args = {})
    {
        auto msg = QDBusMessage::createMethodCall(kNm, path, iface, method);
        msg.setArguments(args);
        const QDBusMessage reply = QDBusConnection::systemBus().call(msg);
        if (reply.type() != QDBusMessage::ReplyMessage)
            qFatal("mock call %s failed: %s", qPrintable(method), qPrintable(reply.errorMessage()));
        return reply.arguments().value(0);
    }
    QString addProfile(const QString &id, const QString &type)
    {
        Settings s{{"connection", QVariantMap{{"id", id}, {"type", type}}}};
        return call(kNmPath + "/Settings", kNm + ".Settings", "AddConnection",
                    {QVariant::fromValue(s)})
            .value<QDBusObjectPath>()
            .path();
    }
    void activate(const QString &profile, uint state, const QString &name)
    {
        call("/org/freedesktop", "org.freedesktop.DBus.Mock", "AddActiveConnection",
             {QStringList{m_device}, profile, QString("/"), name, state});
    }
    // The profiles behind NetworkManager's active connections, read past the code under test.
    QStringList activeProfiles()
    {
        QStringList profiles;
        const auto get = [this](const QString &path, const QString &iface, const char *name) {
            return call(path, "org.freedesktop.DBus.Properties", "Get", {iface, QString(name)})
                .value<QDBusVariant>()
                .variant();
        };
        for (const auto &p :
             qdbus_cast<QList<QDBusObjectPath>>(get(kNmPath, kNm, "ActiveConnections")))
            profiles << get(p.path(), kNm + ".Connection.Active", "Connection")
                            .value<QDBusObjectPath>()
                            .path();
        return profiles;
    }
    void startMock();
    void useDialUp(bool on) { m_options->ui->chkUseDialUp->setChecked(on); }

    QProcess m_bus, m_mock;
    QString m_python, m_device;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<NetworkManager> m_nm;
    std::unique_ptr<RealDialUp> m_dialUp;
    std::unique_ptr<RealConnectionState> m_connection;
    MainState m_state;
    std::unique_ptr<frmOptions> m_options;
    Transfer m_transfer;
    QTimer m_timer;
    qint32 m_lamp = 0;
    std::unique_ptr<Connectivity> m_connectivity;
};

void TestConnectivity::initTestCase()
{
    qDBusRegisterMetaType<Settings>();
    // The distribution's python, where its dbusmock lives, before any other on the path.
    for (const QString &python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        if (QProcess::execute(python, {"-c", "import dbusmock"}) == 0) {
            m_python = python;
            break;
        }
    }
    if (m_python.isEmpty() || QStandardPaths::findExecutable("dbus-daemon").isEmpty())
        QSKIP("python3-dbusmock and dbus-daemon are needed (scripts/install-deps.sh)");
    m_bus.start("dbus-daemon", {"--session", "--print-address", "--nofork", "--nopidfile"});
    QVERIFY(m_bus.waitForReadyRead(10000));
    const QByteArray address = m_bus.readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    QVERIFY(QDBusConnection::systemBus().isConnected());
}

void TestConnectivity::startMock()
{
    m_mock.start(m_python, {"-m", "dbusmock", "--template", "networkmanager"});
    QTRY_VERIFY_WITH_TIMEOUT(
        QDBusConnection::systemBus().interface()->isServiceRegistered(kNm).value(), 10000);
    m_device = call("/org/freedesktop", "org.freedesktop.DBus.Mock", "AddEthernetDevice",
                    {QString("eth0"), QString("eth0"), 100})
                   .toString();
}

void TestConnectivity::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_nm = std::make_unique<NetworkManager>();
    m_dialUp = std::make_unique<RealDialUp>(*m_nm);
    m_connection = std::make_unique<RealConnectionState>(*m_nm);
    Platform services = Platform::instance();
    services.dialUp = m_dialUp.get();
    services.connection = m_connection.get();
    Platform::install(services);
    m_state = MainState();
    m_state.StockURL = "http://quotes.example.com/d/quotes.csv?s=";
    m_state.MarketURL = m_state.IndicesURL = "http://127.0.0.1:47110/";
    m_options = std::make_unique<frmOptions>();
    m_timer.stop();
    m_connectivity = std::make_unique<Connectivity>(
        m_state, *m_options, m_transfer, [this](qint32 c) { m_lamp = c; }, m_timer);
    if (qstrcmp(QTest::currentTestFunction(), "networkManagerAbsent") != 0)
        startMock();
}

void TestConnectivity::cleanup()
{
    m_connectivity.reset();
    m_options.reset();
    m_platform.reset();
    m_connection.reset();
    m_dialUp.reset();
    m_nm.reset();
    m_mock.terminate();
    m_mock.waitForFinished();
    QTRY_VERIFY(!QDBusConnection::systemBus().interface()->isServiceRegistered(kNm).value());
}

void TestConnectivity::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished();
}

void TestConnectivity::listsDialsAndHangsUp()
{
    const QString padded = addProfile(" Work ", "gsm");
    addProfile("Wired", "802-3-ethernet");
    const QString work = addProfile("Work", "pppoe");
    addProfile("Wireless", "802-11-wireless");
    const QString other = addProfile("Other", "cdma");
    m_connectivity->SetUpDialUp();
    auto *list = m_options->ui->cboDialUpList;
    QStringList listed;
    for (int i = 0; i < list->count(); ++i)
        listed << list->itemText(i);
    QCOMPARE(listed, QStringList({" Work ", "Work", "Other"}));
    QVERIFY(list->isEnabled());

    // Connect dials the selected profile, and the watchdog may fire again.
    list->setCurrentIndex(1);
    m_state.RedialPending = true;
    m_connectivity->cmdConnect_Click();
    QVERIFY(!m_state.RedialPending);
    QCOMPARE(m_lamp, Colors::LampBusy);
    QVERIFY(m_timer.isActive());
    QTRY_COMPARE(activeProfiles(), QStringList{work});

    // Both connections whose names differ from the selected one only by blanks are hung up,
    // and NetworkManager has the requests when HangUp returns.
    activate(padded, NetworkManager::Activated, "padded");
    activate(other, NetworkManager::Activated, "other");
    m_connectivity->HangUp();
    QCOMPARE(activeProfiles(), QStringList{other});
}

void TestConnectivity::modemBit_data()
{
    QTest::addColumn<QString>("type"); // of the one active profile; none when empty
    QTest::addColumn<uint>("state");
    QTest::addColumn<bool>("dialUp");
    QTest::addColumn<QString>("stockUrl");
    QTest::addColumn<bool>("connected");
    const QString remote = "http://quotes.example.com/d/quotes.csv?s=";
    QTest::newRow("dial-up activated") << "gsm" << 2u << true << remote << true;
    QTest::newRow("dial-up still activating") << "gsm" << 1u << true << remote << false;
    QTest::newRow("wired, dial-up chosen") << "802-3-ethernet" << 2u << true << remote << false;
    QTest::newRow("wired, LAN chosen") << "802-3-ethernet" << 2u << false << remote << true;
    QTest::newRow("dial-up, LAN chosen") << "gsm" << 2u << false << remote << false;
    QTest::newRow("loopback device") << "loopback" << 2u << false << remote << false;
    QTest::newRow("quote address on loopback")
        << "" << 0u << false << "http://127.0.0.1:47110/q?s=" << true;
    QTest::newRow("only the index addresses on loopback") << "" << 0u << false << remote << false;
}

void TestConnectivity::modemBit()
{
    QFETCH(QString, type);
    QFETCH(uint, state);
    QFETCH(bool, dialUp);
    QFETCH(QString, stockUrl);
    QFETCH(bool, connected);
    if (!type.isEmpty())
        activate(addProfile("Link", type), state, "link");
    m_connectivity->SetUpDialUp();
    useDialUp(dialUp);
    m_state.StockURL = stockUrl;
    m_state.RedialPending = true;
    QCOMPARE(m_connectivity->ActiveConnection(), connected);
    QCOMPARE(m_lamp, connected ? Colors::LampDone : Colors::LampOffline);
    QCOMPARE(m_state.RedialPending, !(connected && dialUp));
}

void TestConnectivity::watchdog_data()
{
    QTest::addColumn<bool>("reconnect");
    QTest::addColumn<int>("answer"); // to the question, when asked
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("tickEnds");
    QTest::addColumn<bool>("timerOn");
    const int yes = QMessageBox::Yes;
    QTest::newRow("redial without asking") << true << 0 << "" << false << true;
    QTest::newRow("asked, yes") << false << yes << "" << true << true;
    QTest::newRow("asked, no") << false << int(QMessageBox::No) << "" << false << false;
    QTest::newRow("activation refused") << true << 0 << "refused" << false << true;
    QTest::newRow("never comes up") << false << yes << "slow" << true << true;
}

void TestConnectivity::watchdog()
{
    QFETCH(bool, reconnect);
    QFETCH(int, answer);
    QFETCH(QString, failure);
    QFETCH(bool, tickEnds);
    QFETCH(bool, timerOn);
    const QString mobile = addProfile("Mobile", "gsm");
    m_connectivity->SetUpDialUp();
    useDialUp(true);
    m_options->ui->chkReconnectOnDisconnect->setChecked(reconnect);
    if (answer)
        m_platform->messageBox.answers.push_back(answer);
    if (failure == "refused")
        call(mobile, kNm + ".Settings.Connection", "Delete");
    if (failure == "slow") // taken, but the link never comes up
        call(kNmPath, "org.freedesktop.DBus.Mock", "AddMethod",
             {kNm, QString("ActivateConnection"), QString("ooo"), QString("o"),
              QString(
                  "ret = dbus.ObjectPath('/org/freedesktop/NetworkManager/ActiveConnection/x')")});
    m_connectivity->setRedialLimit(failure == "slow" ? 100 : Connectivity::RedialLimitMs);
    m_timer.start();

    QCOMPARE(m_connectivity->DialUpWatchdog(nullptr), tickEnds);
    QCOMPARE(m_timer.isActive(), timerOn);
    const bool dialled = answer != QMessageBox::No;
    QCOMPARE(m_state.RedialPending, dialled);
    QCOMPARE(m_lamp, dialled ? Colors::LampBusy : Colors::LampOffline);
    QCOMPARE(m_platform->messageBox.shown.size(), answer ? 1 : 0);
    if (answer) {
        const auto &box = m_platform->messageBox.shown.constFirst();
        QCOMPARE(box.title, QStringLiteral("Vantora Connection Error"));
        QCOMPARE(box.text, QStringLiteral("Internet connection lost! - redial?"));
        QCOMPARE(box.icon, MessageBoxService::Icon::Critical);
        QCOMPARE(box.buttons, int(QMessageBox::Yes | QMessageBox::No));
    }
    if (dialled && failure.isEmpty()) { // while the redial is pending the watchdog is silent
        QVERIFY(!m_connectivity->DialUpWatchdog(nullptr));
        QCOMPARE(m_platform->messageBox.shown.size(), answer ? 1 : 0);
    }
    if (!failure.isEmpty()) {
        QTRY_VERIFY(!m_state.RedialPending);
    } else if (dialled) {
        QTRY_COMPARE(activeProfiles(), QStringList{mobile});
        QVERIFY(m_connectivity->ActiveConnection());
        QVERIFY(!m_state.RedialPending);
    }
}

void TestConnectivity::networkManagerAbsent()
{
    m_connectivity->SetUpDialUp();
    QCOMPARE(m_options->ui->cboDialUpList->count(), 0);
    QVERIFY(!m_options->ui->cboDialUpList->isEnabled());
    useDialUp(true);
    m_options->ui->chkReconnectOnDisconnect->setChecked(true);
    QVERIFY(!m_connectivity->ActiveConnection());
    // No dialler could be started, so nothing silences the watchdog.
    QVERIFY(!m_connectivity->DialUpWatchdog(nullptr));
    QVERIFY(!m_state.RedialPending);
    m_options->ui->cboDialUpList->addItem("Gone");
    QVERIFY(!m_connectivity->Connect());
    m_connectivity->HangUp();
}

QTEST_MAIN(TestConnectivity)
#include "tst_connectivity.moc"
