#include "DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#ifndef VANTORA_APP_ID
#define VANTORA_APP_ID "org.vantora.vantora"
#endif

DesktopNotifications::DesktopNotifications(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

void DesktopNotifications::notify(const QString &summary, const QString &body)
{
    if (!m_bus.isConnected()) {
        Q_EMIT dropped(QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QString appId = QStringLiteral(VANTORA_APP_ID);
    const QVariantMap hints{{QStringLiteral("desktop-entry"), appId},
                            {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}};
    // app name, replaces id, icon, summary, body, actions, hints, expiry (-1: the server's)
    call << QStringLiteral("Vantora") << uint(0) << appId << summary << body << QStringList()
         << hints << int(-1);
    // Nothing waits for the answer; one that does not come within the time-out is dropped.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            Q_EMIT dropped(reply.error().message());
        else
            Q_EMIT delivered(reply.value());
        w->deleteLater();
    });
}
