#pragma once

#include "platform/Platform.h"
#include "platform/WebBrowser.h"

#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <deque>

// Test doubles of the platform services: they record what the program asked for and answer
// from a script, so no test ever waits on a real dialog, program, sound or network.

class FakeMessageBox : public MessageBoxService
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Icon icon;
        int buttons;
        int defaultButton;
    };
    // Answers given in order; when the script runs out the default button (or OK) answers.
    std::deque<int> answers;
    QList<Shown> shown;

    int show(QWidget *parent, const QString &title, const QString &text, Icon icon, int buttons,
             int defaultButton) override;
};

class FakeProgramLauncher : public ProgramLauncher
{
public:
    QList<QUrl> urls;
    QStringList editedFiles;
    int calculatorStarts = 0;
    QList<QStringList> started; // program first, then its arguments
    bool result = true;

    bool openUrl(const QUrl &url) override;
    bool openInTextEditor(const QString &path) override;
    bool startCalculator() override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
};

class FakeSound : public SoundService
{
public:
    QStringList played;
    void playSync(const QString &path) override { played << path; }
};

class FakeConnectionState : public ConnectionStateService
{
public:
    int flags = Lan;
    int connectedFlags() override { return flags; }
};

class FakeDialUp : public DialUpService
{
public:
    QStringList entryNames;
    QList<ActiveConnection> active;
    QStringList dialled;
    QStringList hungUp;
    bool refuseDialling = false; // the service turns each dial down after accepting it

    QStringList entries() override { return entryNames; }
    QList<ActiveConnection> activeConnections() override { return active; }
    bool dial(const QString &entryName, QObject *context, std::function<void()> refused) override;
    void hangUp(const QStringList &handles, int waitMs) override;
};

class FakeDialogs : public DialogService
{
public:
    std::deque<std::optional<QColor>> colors;
    std::deque<QString> fileNames;
    bool printAccepted = true;
    QStringList colorTitles;
    QStringList openTitles;
    QStringList openFilters;
    int printDialogs = 0;

    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial,
                                      const QString &title) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    bool print(QWidget *parent, QPrinter *printer) override;
};

// Prints to a PDF file, so a test can look at what was printed; at the screen's resolution
// unless a test sets a printer's resolution.
class PdfPrinter : public PrinterService
{
public:
    QString outputFile;
    int resolution = 0; // dots per inch; 0 keeps QPrinter's own
    std::unique_ptr<QPrinter> createPrinter() override;
};

class FakeTrayIcon : public TrayIconService
{
    Q_OBJECT
public:
    using TrayIconService::TrayIconService;
    bool shown = false;
    bool available = true;
    QString toolTip;
    void showIcon(const QIcon &, const QString &tip) override
    {
        shown = true;
        toolTip = tip;
    }
    void removeIcon() override { shown = false; }
    bool isShown() const override { return shown; }
    bool isAvailable() const override { return available; }
};

// A browser that loads nothing: navigate() records the address and starts a page load that
// the test finishes with finishLoad(), which also sets the title. History follows
// navigate, back and forward like a real browser's.
class FakeWebBrowser : public WebBrowser
{
    Q_OBJECT
public:
    explicit FakeWebBrowser(QWidget *parent);
    ~FakeWebBrowser() override;

    QStringList navigated; // every address asked for, in order
    int stops = 0;
    int refreshes = 0;
    bool paused = false; // between pause() and resume()

    QWidget *widget() override { return m_widget; }
    void navigate(const QString &address) override;
    bool goBack() override;
    bool goForward() override;
    void stop() override;
    void refresh() override;
    void pause() override;
    void resume() override { paused = false; }
    bool busy() const override { return m_busy; }
    QString locationURL() const override;
    QString locationName() const override { return m_title; }

    // Ends the page load that is running: the page gets this title.
    void finishLoad(const QString &title);

private:
    void load(int index);

    QPointer<QWidget> m_widget;
    QStringList m_history;
    int m_current = -1;
    bool m_busy = false;
    QString m_title;
};

class FakeWebBrowsers : public WebBrowserFactory
{
public:
    int created = 0;
    FakeWebBrowser *last = nullptr; // owned by the program
    std::unique_ptr<WebBrowser> create(QWidget *parent) override;
};

// Records every notification.
class FakeNotifications : public NotificationService
{
public:
    struct Sent
    {
        QString summary;
        QString body;
    };
    QList<Sent> sent;
    void notify(const QString &summary, const QString &body) override
    {
        sent.push_back({summary, body});
    }
};

// A secret store in memory; with available cleared it behaves as a desktop where no store
// runs. Answers come from the event loop, as the real store's do.
class FakeSecretStore : public SecretStore
{
public:
    QMap<QString, QString> stored;
    bool available = true;
    int reads = 0;
    int writes = 0;

    void read(const QString &name, QObject *context,
              std::function<void(Status, const QString &)> done) override;
    void write(const QString &name, const QString &secret, QObject *context,
               std::function<void(Status)> done) override;
};

// Every double together, installed for the life of this object.
class FakePlatform
{
public:
    FakeMessageBox messageBox;
    FakeProgramLauncher programs;
    FakeSound sound;
    FakeConnectionState connection;
    FakeDialUp dialUp;
    FakeDialogs dialogs;
    PdfPrinter printer;
    FakeTrayIcon tray;
    FakeWebBrowsers browsers;
    FakeNotifications notifications;
    FakeSecretStore secrets;

    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform &) = delete;
    FakePlatform &operator=(const FakePlatform &) = delete;
};
