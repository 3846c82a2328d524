#pragma once

#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDBusMessage;

// NetworkManager on the system D-Bus. Its dial-up profiles and its active connections are
// kept as a snapshot that asynchronous calls and NetworkManager's change signals keep
// current, so that asking never waits for NetworkManager: a slow or hung NetworkManager
// never holds the window.
class NetworkManager
{
public:
    struct Profile
    {
        QString path; // the settings object
        QString id;   // the name the user gave it
        QString type; // "gsm", "802-3-ethernet" ...
        bool operator==(const Profile &) const = default;
    };
    struct Active
    {
        QString path;    // the active-connection object
        QString id;      // the profile's name
        QString type;    // the profile's type
        QString profile; // the profile's settings object
        uint state = 0;
        bool operator==(const Active &) const = default;
    };
    // NMActiveConnectionState: the link is up.
    static constexpr uint Activated = 2;
    // The longest any call waits for an answer.
    static constexpr int CallTimeoutMs = 2000;
    // A snapshot older than this is read again when asked for, in case a change signal was
    // missed; the answer is the snapshot at hand.
    static constexpr int RefreshAfterMs = 3000;

    NetworkManager();
    ~NetworkManager();
    NetworkManager(const NetworkManager &) = delete;
    NetworkManager &operator=(const NetworkManager &) = delete;

    // Profiles of the kinds that dial: mobile broadband, PPPoE, Bluetooth dial-up.
    static bool isDialUpType(const QString &type);

    // Starts watching NetworkManager and reading it; done by every call below as well.
    void start();
    // Gives the reads in flight at most waitMs to finish, without running the event loop.
    // True when both snapshots are current afterwards.
    bool settle(int waitMs);
    // Reads both snapshots again (a read in flight is followed by one more).
    void refresh();
    // No read is in flight and none is due.
    bool isSettled();

    // The dial-up profiles as last read; nothing until NetworkManager has answered once or
    // where it is absent.
    std::optional<QList<Profile>> dialUpProfiles();
    bool isListedDialUpProfile(const QString &profilePath);
    // The active connections as last read; nothing until NetworkManager has answered once
    // or where it is absent.
    std::optional<QList<Active>> activeConnections();
    // NetworkManager is known not to run (or there is no system bus).
    bool isAbsent();

    // Runs `changed`, while `context` lives, whenever the list of dial-up profiles changed.
    void onProfilesChanged(QObject *context, std::function<void()> changed);

    // Asks for a profile to be activated and returns at once; `done` learns, while `context`
    // lives, whether NetworkManager took the request. False when it could not be sent.
    bool activate(const QString &profilePath, QObject *context, std::function<void(bool)> done);
    // Asks for the active connections to be taken down, all at once, and waits at most
    // waitMs in all for NetworkManager to take them, with the event loop running (no user
    // input) so that the window never freezes. Returns how many were taken.
    int deactivate(const QStringList &activePaths, int waitMs);

private:
    class Watch;
    // One read: a list call, then one call per listed object.
    struct Read
    {
        bool running = false;
        bool again = false; // a change came in while it ran
        std::optional<QDBusPendingCall> list;
        QList<QPair<QString, QDBusPendingCall>> items;
        bool itemsSent = false;
    };
    enum class Presence
    {
        Unknown,
        Present,
        Absent
    };

    void startRead(Read &read, const QDBusMessage &listCall);
    void advance();
    void advance(Read &read, bool profiles);
    QDBusPendingCall send(const QDBusMessage &message);
    void watchCall(const QDBusPendingCall &call);
    bool failed(const QDBusMessage &reply);
    void refreshProfiles();
    void refreshActive();
    void serviceGone();
    void serviceAppeared();
    void refreshIfOld();

    QPointer<Watch> m_watch;
    bool m_started = false;
    Presence m_presence = Presence::Unknown;
    Read m_profileRead, m_activeRead;
    std::optional<QList<Profile>> m_profiles;
    std::optional<QList<Active>> m_active;
    QElapsedTimer m_lastRead;
};
