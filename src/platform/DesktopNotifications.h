#pragma once

#include "Platform.h"

#include <QDBusConnection>
#include <QObject>

// Notifications through org.freedesktop.Notifications on the session bus: app name "Vantora",
// the program's icon, one call per notification that runs without the caller waiting. A
// service that is missing or silent for more than a second costs nothing but the
// notification.
class DesktopNotifications : public QObject, public NotificationService
{
    Q_OBJECT
public:
    // bus: where the service is asked; by default the session bus.
    explicit DesktopNotifications(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                  QObject *parent = nullptr);

    void notify(const QString &summary, const QString &body) override;

    static constexpr int kTimeoutMs = 1000;

Q_SIGNALS:
    // A service took the notification and gave it this id.
    void delivered(uint id);
    // No service took it (none on the bus, an error, or no answer in time).
    void dropped(const QString &reason);

private:
    QDBusConnection m_bus;
};
