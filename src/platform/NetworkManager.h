#pragma once

#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// NetworkManager on the system D-Bus, asked with plain method calls: no introspection, and
// every call gives up after a short time-out. A NetworkManager that stops answering is left
// alone for a while, so that it never holds the window more than once in that while.
class NetworkManager
{
public:
    struct Profile
    {
        QString path; // the settings object
        QString id;   // the name the user gave it
        QString type; // "gsm", "802-3-ethernet" ...
    };
    struct Active
    {
        QString path;    // the active-connection object
        QString id;      // the profile's name
        QString type;    // the profile's type
        QString profile; // the profile's settings object
        uint state = 0;
    };
    // NMActiveConnectionState: the link is up.
    static constexpr uint Activated = 2;
    // The longest any call waits for an answer.
    static constexpr int CallTimeoutMs = 2000;
    // How long a NetworkManager that did not answer in time is left alone.
    static constexpr int QuietMs = 30000;

    // Profiles of the kinds that dial: mobile broadband, PPPoE, Bluetooth dial-up.
    static bool isDialUpType(const QString &type);

    // Reads the dial-up profiles and remembers them; nothing where NetworkManager is absent.
    std::optional<QList<Profile>> readDialUpProfiles();
    // The dial-up profiles as last read.
    const QList<Profile> &dialUpProfiles() const { return m_dialUpProfiles; }
    bool isListedDialUpProfile(const QString &profilePath) const;

    // The active connections; nothing where NetworkManager is absent or does not answer.
    std::optional<QList<Active>> activeConnections();

    // Asks for a profile to be activated and returns at once; `done` learns, while `context`
    // lives, whether NetworkManager took the request. False when it could not be sent.
    bool activate(const QString &profilePath, QObject *context, std::function<void(bool)> done);
    // Asks for an active connection to be taken down, waiting at most waitMs for the answer
    // (0: only sends the request).
    bool deactivate(const QString &activePath, int waitMs);

    // NetworkManager did not answer in time a short while ago.
    bool isQuiet() const { return !m_quiet.hasExpired(); }

private:
    std::optional<QDBusMessage> call(const QDBusMessage &message, int timeoutMs = CallTimeoutMs);
    std::optional<QVariant> property(const QString &path, const QString &interface,
                                     const QString &name);

    QList<Profile> m_dialUpProfiles;
    QDeadlineTimer m_quiet{0};
};
