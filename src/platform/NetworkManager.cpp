#include "NetworkManager.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kSettingsPath = kPath + QStringLiteral("/Settings");
const QString kActivePrefix = kPath + QStringLiteral("/ActiveConnection/");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kSettingsInterface = kService + QStringLiteral(".Settings");
const QString kProfileInterface = kService + QStringLiteral(".Settings.Connection");
const QString kActiveInterface = kService + QStringLiteral(".Connection.Active");

QDBusMessage methodCall(const QString &path, const QString &interface, const QString &method,
                        const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    // The calls are asked for, never started on demand: a NetworkManager that is not running
    // is absent, not something to wait for.
    message.setAutoStartService(false);
    return message;
}

QList<QDBusObjectPath> objectPaths(const QVariant &value)
{
    return qdbus_cast<QList<QDBusObjectPath>>(value);
}

QVariant firstArgument(const QDBusMessage &reply)
{
    return reply.arguments().isEmpty() ? QVariant() : reply.arguments().constFirst();
}

} // namespace

// The Qt side of the watch: receives NetworkManager's change signals and the answers to the
// calls in flight. It lives with the application, so that nothing of it outlives the bus.
class NetworkManager::Watch : public QObject
{
    Q_OBJECT
public:
    Watch(NetworkManager &nm, QObject *parent) : QObject(parent), m_nm(nm) {}

Q_SIGNALS:
    void profilesChanged();

public Q_SLOTS:
    void activeMayHaveChanged() { m_nm.refreshActive(); }
    void profilesMayHaveChanged() { m_nm.refreshProfiles(); }
    void propertiesChanged(const QDBusMessage &message)
    {
        // The manager's list of active connections, or an active connection's state.
        if (message.path() == kPath || message.path().startsWith(kActivePrefix))
            m_nm.refreshActive();
    }
    void serviceRegistered() { m_nm.serviceAppeared(); }
    void serviceUnregistered() { m_nm.serviceGone(); }
    void callFinished(QDBusPendingCallWatcher *watcher)
    {
        watcher->deleteLater();
        m_nm.advance();
    }

private:
    NetworkManager &m_nm;
};

NetworkManager::NetworkManager() = default;

NetworkManager::~NetworkManager()
{
    delete m_watch.data();
}

bool NetworkManager::isDialUpType(const QString &type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") ||
           type == QLatin1String("pppoe") || type == QLatin1String("bluetooth");
}

void NetworkManager::start()
{
    // The bus needs the application; before it there is nothing to watch yet.
    if (m_started || !QCoreApplication::instance())
        return;
    m_started = true;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        m_presence = Presence::Absent;
        return;
    }
    m_watch = new Watch(*this, QCoreApplication::instance());
    auto *services = new QDBusServiceWatcher(kService, bus,
                                             QDBusServiceWatcher::WatchForRegistration |
                                                 QDBusServiceWatcher::WatchForUnregistration,
                                             m_watch);
    QObject::connect(services, &QDBusServiceWatcher::serviceRegistered, m_watch,
                     &Watch::serviceRegistered);
    QObject::connect(services, &QDBusServiceWatcher::serviceUnregistered, m_watch,
                     &Watch::serviceUnregistered);
    // An empty path stands for every object of the service.
    const struct
    {
        QString path, interface, name;
        const char *slot;
    } watched[] = {
        {{},
         kProperties,
         QStringLiteral("PropertiesChanged"),
         SLOT(propertiesChanged(QDBusMessage))},
        {kPath, kService, QStringLiteral("PropertiesChanged"), SLOT(activeMayHaveChanged())},
        {{}, kActiveInterface, QStringLiteral("StateChanged"), SLOT(activeMayHaveChanged())},
        {kSettingsPath, kSettingsInterface, QStringLiteral("NewConnection"),
         SLOT(profilesMayHaveChanged())},
        {kSettingsPath, kSettingsInterface, QStringLiteral("ConnectionRemoved"),
         SLOT(profilesMayHaveChanged())},
        {{}, kProfileInterface, QStringLiteral("Updated"), SLOT(profilesMayHaveChanged())},
    };
    for (const auto &s : watched)
        bus.connect(kService, s.path, s.interface, s.name, m_watch, s.slot);
    refresh();
}

QDBusPendingCall NetworkManager::send(const QDBusMessage &message)
{
    const QDBusPendingCall call = QDBusConnection::systemBus().asyncCall(message, CallTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(call, m_watch);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_watch, &Watch::callFinished);
    return call;
}

void NetworkManager::refresh()
{
    refreshProfiles();
    refreshActive();
}

void NetworkManager::refreshProfiles()
{
    startRead(m_profileRead,
              methodCall(kSettingsPath, kSettingsInterface, QStringLiteral("ListConnections")));
}

void NetworkManager::refreshActive()
{
    startRead(m_activeRead, methodCall(kPath, kProperties, QStringLiteral("Get"),
                                       {kService, QStringLiteral("ActiveConnections")}));
}

void NetworkManager::startRead(Read &read, const QDBusMessage &listCall)
{
    start();
    if (!m_watch)
        return;
    if (read.running) {
        // What it reads may already be out of date: one more read follows it.
        read.again = true;
        return;
    }
    read = Read();
    read.running = true;
    read.list = send(listCall);
    m_lastRead.start();
}

bool NetworkManager::failed(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        error == QLatin1String("org.freedesktop.DBus.Error.Disconnected"))
        serviceGone();
    // Anything else (no answer in time, a refused call) keeps the snapshot as it was.
    return true;
}

void NetworkManager::serviceGone()
{
    m_presence = Presence::Absent;
    m_profileRead = Read();
    m_activeRead = Read();
    m_active.reset();
    if (m_profiles) {
        m_profiles.reset();
        if (m_watch)
            Q_EMIT m_watch->profilesChanged();
    }
}

void NetworkManager::serviceAppeared()
{
    // Present or not, the first answer tells; until then nothing is known.
    m_presence = Presence::Unknown;
    refresh();
}

void NetworkManager::advance()
{
    advance(m_profileRead, true);
    advance(m_activeRead, false);
}

void NetworkManager::advance(Read &read, bool profiles)
{
    if (!read.running)
        return;
    if (!read.itemsSent) {
        if (!read.list || !read.list->isFinished())
            return;
        const QDBusMessage reply = read.list->reply();
        if (failed(reply)) {
            // serviceGone() may have reset the read already; a change that came in while
            // it ran is read for when NetworkManager is still there.
            const bool again = read.again && m_presence != Presence::Absent;
            read = Read();
            if (again)
                profiles ? refreshProfiles() : refreshActive();
            return;
        }
        QVariant list = firstArgument(reply);
        if (!profiles)
            list = list.value<QDBusVariant>().variant();
        for (const QDBusObjectPath &path : objectPaths(list)) {
            read.items.append(
                {path.path(),
                 send(profiles ? methodCall(path.path(), kProfileInterface,
                                            QStringLiteral("GetSettings"))
                               : methodCall(path.path(), kProperties, QStringLiteral("GetAll"),
                                            {kActiveInterface}))});
        }
        read.itemsSent = true;
    }
    if (!std::all_of(read.items.cbegin(), read.items.cend(),
                     [](const auto &item) { return item.second.isFinished(); }))
        return;

    // An object that went away between the two calls is simply no longer there.
    if (profiles) {
        QList<Profile> result;
        for (const auto &[path, call] : std::as_const(read.items)) {
            const QDBusMessage reply = call.reply();
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                continue;
            // a{sa{sv}}: the "connection" group holds the name and the type.
            QMap<QString, QVariantMap> groups;
            reply.arguments().constFirst().value<QDBusArgument>() >> groups;
            const QVariantMap connection = groups.value(QStringLiteral("connection"));
            const QString type = connection.value(QStringLiteral("type")).toString();
            if (isDialUpType(type))
                result.append({path, connection.value(QStringLiteral("id")).toString(), type});
        }
        const bool changed = m_profiles != result;
        m_profiles = result;
        if (changed && m_watch)
            Q_EMIT m_watch->profilesChanged();
    } else {
        QList<Active> result;
        for (const auto &[path, call] : std::as_const(read.items)) {
            const QDBusMessage reply = call.reply();
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                continue;
            const auto props = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
            result.append(
                {path, props.value(QStringLiteral("Id")).toString(),
                 props.value(QStringLiteral("Type")).toString(),
                 props.value(QStringLiteral("Connection")).value<QDBusObjectPath>().path(),
                 props.value(QStringLiteral("State")).toUInt()});
        }
        m_active = result;
    }
    m_presence = Presence::Present;
    const bool again = read.again;
    read = Read();
    if (again)
        profiles ? refreshProfiles() : refreshActive();
}

bool NetworkManager::settle(int waitMs)
{
    start();
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        advance();
        if (!m_profileRead.running && !m_activeRead.running)
            return isAbsent() || (m_profiles && m_active);
        if (deadline.hasExpired())
            return false;
        // The answers arrive on the bus's own thread; the event loop is not needed to see
        // them, and the window's events stay where they are until the wait is over.
        QThread::msleep(2);
    }
}

bool NetworkManager::isSettled()
{
    start();
    advance();
    return !m_profileRead.running && !m_activeRead.running;
}

void NetworkManager::refreshIfOld()
{
    if (m_presence != Presence::Absent &&
        (!m_lastRead.isValid() || m_lastRead.hasExpired(RefreshAfterMs)))
        refresh();
}

std::optional<QList<NetworkManager::Profile>> NetworkManager::dialUpProfiles()
{
    start();
    advance();
    refreshIfOld();
    return m_profiles;
}

bool NetworkManager::isListedDialUpProfile(const QString &profilePath)
{
    const auto profiles = dialUpProfiles();
    return profiles && std::any_of(profiles->cbegin(), profiles->cend(),
                                   [&](const Profile &p) { return p.path == profilePath; });
}

std::optional<QList<NetworkManager::Active>> NetworkManager::activeConnections()
{
    start();
    advance();
    refreshIfOld();
    return m_active;
}

bool NetworkManager::isAbsent()
{
    start();
    advance();
    return m_presence == Presence::Absent;
}

void NetworkManager::onProfilesChanged(QObject *context, std::function<void()> changed)
{
    start();
    if (m_watch)
        // Queued: the listener reads the profiles again, never in the middle of a read.
        QObject::connect(m_watch, &Watch::profilesChanged, context, std::move(changed),
                         Qt::QueuedConnection);
}

bool NetworkManager::activate(const QString &profilePath, QObject *context,
                              std::function<void(bool)> done)
{
    if (isAbsent() || !m_watch)
        return false;
    const QDBusObjectPath none(QStringLiteral("/"));
    const QDBusPendingCall pending = QDBusConnection::systemBus().asyncCall(
        methodCall(kPath, kService, QStringLiteral("ActivateConnection"),
                   {QVariant::fromValue(QDBusObjectPath(profilePath)), QVariant::fromValue(none),
                    QVariant::fromValue(none)}),
        CallTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(pending, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [this, guard = m_watch, done = std::move(done)](QDBusPendingCallWatcher *w) {
                         w->deleteLater();
                         if (guard)
                             refreshActive();
                         if (done)
                             done(!w->isError());
                     });
    return true;
}

int NetworkManager::deactivate(const QStringList &activePaths, int waitMs)
{
    if (activePaths.isEmpty() || isAbsent() || !m_watch)
        return 0;
    int waiting = 0;
    int taken = 0;
    QEventLoop loop;
    QDBusConnection bus = QDBusConnection::systemBus();
    for (const QString &path : activePaths) {
        const QDBusPendingCall pending =
            bus.asyncCall(methodCall(kPath, kService, QStringLiteral("DeactivateConnection"),
                                     {QVariant::fromValue(QDBusObjectPath(path))}),
                          std::clamp(waitMs, 1, CallTimeoutMs));
        auto *watcher = new QDBusPendingCallWatcher(pending, &loop);
        ++waiting;
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &loop,
                         [&](QDBusPendingCallWatcher *w) {
                             if (!w->isError())
                                 ++taken;
                             if (--waiting == 0)
                                 loop.quit();
                         });
    }
    // All requests share one wait. Timers and repaints go on meanwhile, clicks and keys wait.
    QTimer::singleShot(std::max(waitMs, 0), &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    refreshActive();
    return taken;
}

#include "NetworkManager.moc"
