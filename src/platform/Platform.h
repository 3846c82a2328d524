#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;
class QIcon;
class WebBrowserFactory;

// The platform services that forms use and tests must steer or observe. Each has one real
// implementation and one test double (PlatformDoubles.h); forms reach them through
// Platform::instance(), and tests swap in the doubles with Platform::install().

// Modal message boxes. Icons and buttons follow QMessageBox.
class MessageBoxService
{
public:
    enum class Icon
    {
        NoIcon,
        Information,
        Warning,
        Critical,
        Question
    };
    // Buttons are QMessageBox::StandardButton values or-ed together; the answer is one of them.
    virtual ~MessageBoxService() = default;
    virtual int show(QWidget *parent, const QString &title, const QString &text, Icon icon,
                     int buttons, int defaultButton = 0) = 0;
};

// Starting other programs; none is waited for. A missing program does nothing.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    // The system's web browser.
    virtual bool openUrl(const QUrl &url) = 0;
    // A text editor on an existing file: the user's $VISUAL or $EDITOR in a terminal
    // window, else the desktop's text editor. False when none could be started.
    virtual bool openInTextEditor(const QString &path) = 0;
    // The first calculator found on the PATH.
    virtual bool startCalculator() = 0;
    // Any other program (the dial-up dialler).
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

// Wave sounds, played synchronously: the call returns when the sound has finished, at once
// when there is no audio output or the file is missing.
class SoundService
{
public:
    virtual ~SoundService() = default;
    virtual void playSync(const QString &path) = 0;
};

// The connected state: bit 2 a LAN link, bit 1 a modem link.
class ConnectionStateService
{
public:
    enum Flag
    {
        Modem = 1,
        Lan = 2
    };
    virtual ~ConnectionStateService() = default;
    virtual int connectedFlags() = 0;
};

// Dial-up entries and their active connections.
class DialUpService
{
public:
    struct ActiveConnection
    {
        QString handle;
        QString entryName;
    };
    virtual ~DialUpService() = default;
    // Reads the entries; dialling later looks the name up among the entries read last.
    virtual QStringList entries() = 0;
    virtual QList<ActiveConnection> activeConnections() = 0;
    // Starts dialling an entry and returns without waiting for the link; false when the
    // request could not be made. When the service later turns the request down, `refused`
    // runs, as long as `context` lives.
    virtual bool dial(const QString &entryName, QObject *context = nullptr,
                      std::function<void()> refused = {}) = 0;
    // Hangs connections up, all at once, waiting at most waitMs in all for the service to
    // take the requests; the window is not frozen meanwhile.
    virtual void hangUp(const QStringList &handles, int waitMs = 0) = 0;
    // Runs `changed`, while `context` lives, whenever the entries changed after a read; a
    // service that answers late delivers its entries this way.
    virtual void onEntriesChanged(QObject *context, std::function<void()> changed)
    {
        Q_UNUSED(context);
        Q_UNUSED(changed);
    }
};

// The common dialogs: colour, open file, print set-up.
class DialogService
{
public:
    virtual ~DialogService() = default;
    // The colour dialog in its full form (custom colours shown); nothing when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial,
                                              const QString &title) = 0;
    // Returns the chosen file, or an empty text when the dialog was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    // Shows the print dialog for a printer; false when cancelled.
    virtual bool print(QWidget *parent, QPrinter *printer) = 0;
};

// The printer pages are printed on.
class PrinterService
{
public:
    virtual ~PrinterService() = default;
    virtual std::unique_ptr<QPrinter> createPrinter() = 0;
};

// The notification-area icon of the main window.
class TrayIconService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void showIcon(const QIcon &icon, const QString &toolTip) = 0;
    virtual void removeIcon() = 0;
    virtual bool isShown() const = 0;
    // False where the desktop has no notification area: an icon would never be seen.
    virtual bool isAvailable() const = 0;
Q_SIGNALS:
    void activated();
    void doubleClicked();
};

// Desktop notifications (the freedesktop.org notification service). A notification that no
// service takes is dropped: nothing else changes, and the caller never waits.
class NotificationService
{
public:
    virtual ~NotificationService() = default;
    virtual void notify(const QString &summary, const QString &body) = 0;
};

// The desktop's secret store (on Linux the Secret Service): small secrets such as API keys,
// kept out of the settings file. Calls return at once; done runs later from the event loop,
// as long as context lives. A store that never answers (waiting for the user to unlock it)
// never holds the caller up.
class SecretStore
{
public:
    enum class Status
    {
        Ok,
        NotFound,    // nothing stored under that name
        Unavailable, // no store runs, or it refused: nothing was read or kept
    };
    virtual ~SecretStore() = default;
    virtual void read(const QString &name, QObject *context,
                      std::function<void(Status, const QString &secret)> done) = 0;
    // Keeps secret under name; an empty secret removes what is stored (Ok when nothing was).
    virtual void write(const QString &name, const QString &secret, QObject *context,
                       std::function<void(Status)> done) = 0;
};

// One place that hands the services to the forms.
class Platform
{
public:
    MessageBoxService *messageBox = nullptr;
    ProgramLauncher *programs = nullptr;
    SoundService *sound = nullptr;
    ConnectionStateService *connection = nullptr;
    DialUpService *dialUp = nullptr;
    DialogService *dialogs = nullptr;
    PrinterService *printer = nullptr;
    TrayIconService *tray = nullptr;
    // The embedded web browser (WebBrowser.h).
    WebBrowserFactory *browsers = nullptr;
    NotificationService *notifications = nullptr;
    SecretStore *secrets = nullptr;

    // The services in force: the real ones unless a test installed others.
    static Platform &instance();
    // Installs a set of services (tests); the caller keeps them alive while installed.
    static void install(const Platform &services);
    // Goes back to the real services.
    static void restoreReal();
    // The program's embedded browser engine. Until one is set the real services have no
    // embedded browser, and the panel shows nothing.
    static void setRealBrowsers(WebBrowserFactory *browsers);
};
