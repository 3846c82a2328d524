#include "NetworkManager.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QObject>

#include <algorithm>

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kSettingsPath = kPath + QStringLiteral("/Settings");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

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

QString pathText(const QVariant &value)
{
    return value.value<QDBusObjectPath>().path();
}

} // namespace

bool NetworkManager::isDialUpType(const QString &type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") ||
           type == QLatin1String("pppoe") || type == QLatin1String("bluetooth");
}

std::optional<QDBusMessage> NetworkManager::call(const QDBusMessage &message, int timeoutMs)
{
    if (isQuiet())
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return std::nullopt;
    // Blocks without running the event loop, so nothing of the window runs inside the wait.
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        error == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        m_quiet.setRemainingTime(QuietMs);
    return std::nullopt;
}

std::optional<QVariant> NetworkManager::property(const QString &path, const QString &interface,
                                                 const QString &name)
{
    const auto reply =
        call(methodCall(path, kProperties, QStringLiteral("Get"), {interface, name}));
    if (!reply || reply->arguments().isEmpty())
        return std::nullopt;
    return reply->arguments().constFirst().value<QDBusVariant>().variant();
}

std::optional<QList<NetworkManager::Profile>> NetworkManager::readDialUpProfiles()
{
    m_dialUpProfiles.clear();
    const auto list = call(methodCall(kSettingsPath, kService + QStringLiteral(".Settings"),
                                      QStringLiteral("ListConnections")));
    if (!list || list->arguments().isEmpty())
        return std::nullopt;
    for (const QDBusObjectPath &path : objectPaths(list->arguments().constFirst())) {
        const auto reply =
            call(methodCall(path.path(), kService + QStringLiteral(".Settings.Connection"),
                            QStringLiteral("GetSettings")));
        if (!reply || reply->arguments().isEmpty())
            continue;
        // a{sa{sv}}: the "connection" group holds the name and the type.
        QMap<QString, QVariantMap> groups;
        reply->arguments().constFirst().value<QDBusArgument>() >> groups;
        const QVariantMap connection = groups.value(QStringLiteral("connection"));
        const QString type = connection.value(QStringLiteral("type")).toString();
        if (isDialUpType(type))
            m_dialUpProfiles.append(
                {path.path(), connection.value(QStringLiteral("id")).toString(), type});
    }
    return m_dialUpProfiles;
}

bool NetworkManager::isListedDialUpProfile(const QString &profilePath) const
{
    return std::any_of(m_dialUpProfiles.cbegin(), m_dialUpProfiles.cend(),
                       [&](const Profile &p) { return p.path == profilePath; });
}

std::optional<QList<NetworkManager::Active>> NetworkManager::activeConnections()
{
    const auto paths = property(kPath, kService, QStringLiteral("ActiveConnections"));
    if (!paths)
        return std::nullopt;
    QList<Active> result;
    for (const QDBusObjectPath &path : objectPaths(*paths)) {
        const auto reply =
            call(methodCall(path.path(), kProperties, QStringLiteral("GetAll"),
                            {QString(kService + QStringLiteral(".Connection.Active"))}));
        // A connection that went away between the two calls is simply no longer there.
        if (!reply || reply->arguments().isEmpty())
            continue;
        const auto props = qdbus_cast<QVariantMap>(reply->arguments().constFirst());
        result.append({path.path(), props.value(QStringLiteral("Id")).toString(),
                       props.value(QStringLiteral("Type")).toString(),
                       pathText(props.value(QStringLiteral("Connection"))),
                       props.value(QStringLiteral("State")).toUInt()});
    }
    return result;
}

bool NetworkManager::activate(const QString &profilePath, QObject *context,
                              std::function<void(bool)> done)
{
    if (isQuiet())
        return false;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    const QDBusObjectPath none(QStringLiteral("/"));
    const QDBusPendingCall pending =
        bus.asyncCall(methodCall(kPath, kService, QStringLiteral("ActivateConnection"),
                                 {QVariant::fromValue(QDBusObjectPath(profilePath)),
                                  QVariant::fromValue(none), QVariant::fromValue(none)}),
                      CallTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(pending, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [done = std::move(done)](QDBusPendingCallWatcher *w) {
                         w->deleteLater();
                         if (done)
                             done(!w->isError());
                     });
    return true;
}

bool NetworkManager::deactivate(const QString &activePath, int waitMs)
{
    const QDBusMessage message = methodCall(kPath, kService, QStringLiteral("DeactivateConnection"),
                                            {QVariant::fromValue(QDBusObjectPath(activePath))});
    if (waitMs > 0)
        return call(message, qMin(waitMs, CallTimeoutMs)).has_value();
    QDBusConnection bus = QDBusConnection::systemBus();
    return !isQuiet() && bus.isConnected() && bus.send(message);
}
