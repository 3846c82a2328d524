#pragma once

#include "Platform.h"

#include <QSystemTrayIcon>

// The real services on this desktop.

class RealMessageBox : public MessageBoxService
{
public:
    int show(QWidget *parent, const QString &title, const QString &text, Icon icon, int buttons,
             int defaultButton) override;
};

class RealProgramLauncher : public ProgramLauncher
{
public:
    bool openUrl(const QUrl &url) override;
    bool openInTextEditor(const QString &path) override;
    bool startCalculator() override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
};

class RealSound : public SoundService
{
public:
    void playSync(const QString &path) override;
};

class NetworkManager;

// Where NetworkManager answers, its activated connections decide: one of the dial-up
// profiles last listed is the modem link, any other connection a LAN link. Without it the
// system's reachability, or failing that the running interfaces, decide; the interfaces
// decide too while a NetworkManager that runs has not answered yet.
class RealConnectionState : public ConnectionStateService
{
public:
    explicit RealConnectionState(NetworkManager &networkManager);
    int connectedFlags() override;

private:
    NetworkManager &m_nm;
};

// Dial-up entries are NetworkManager's modem and PPPoE connection profiles, reached over
// the system D-Bus; where NetworkManager is absent there are no entries.
class RealDialUp : public DialUpService
{
public:
    // How long reading the entries waits, at most, for a NetworkManager that has not yet
    // answered; a later answer comes through onEntriesChanged.
    static constexpr int EntriesWaitMs = 100;

    explicit RealDialUp(NetworkManager &networkManager);
    QStringList entries() override;
    QList<ActiveConnection> activeConnections() override;
    bool dial(const QString &entryName, QObject *context, std::function<void()> refused) override;
    void hangUp(const QStringList &handles, int waitMs) override;
    void onEntriesChanged(QObject *context, std::function<void()> changed) override;

private:
    NetworkManager &m_nm;
};

class RealDialogs : public DialogService
{
public:
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial,
                                      const QString &title) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    bool print(QWidget *parent, QPrinter *printer) override;
};

class RealPrinter : public PrinterService
{
public:
    std::unique_ptr<QPrinter> createPrinter() override;
};

class RealTrayIcon : public TrayIconService
{
    Q_OBJECT
public:
    explicit RealTrayIcon(QObject *parent = nullptr);
    void showIcon(const QIcon &icon, const QString &toolTip) override;
    void removeIcon() override;
    bool isShown() const override;
    bool isAvailable() const override;

private:
    QSystemTrayIcon *m_icon = nullptr;
};
