#include "RealPlatform.h"

#include "NetworkManager.h"

#include <QAudioDevice>
#include <QColorDialog>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QTimer>

int RealMessageBox::show(QWidget *parent, const QString &title, const QString &text, Icon icon,
                         int buttons, int defaultButton)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Texts may carry what a server or a file said: shown as they are, never as markup or
    // links.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case Icon::NoIcon:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.setStandardButtons(QMessageBox::StandardButtons(buttons));
    if (defaultButton != 0)
        box.setDefaultButton(QMessageBox::StandardButton(defaultButton));
    return box.exec();
}

bool RealProgramLauncher::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool RealProgramLauncher::openInTextEditor(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    // The user's chosen editor first. $VISUAL and $EDITOR name programs that run in a
    // terminal (vi, nano, emacs -nw), which started on their own would have no window: the
    // editor runs in a terminal window, and without one the desktop's handler for text
    // files opens the file instead.
    QString editor = qEnvironmentVariable("VISUAL");
    if (editor.trimmed().isEmpty())
        editor = qEnvironmentVariable("EDITOR");
    const QStringList command = QProcess::splitCommand(editor);
    if (!command.isEmpty() && !QStandardPaths::findExecutable(command.first()).isEmpty()) {
        for (const char *name : {"x-terminal-emulator", "xterm"}) {
            const QString terminal = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!terminal.isEmpty() &&
                QProcess::startDetached(terminal, QStringList{QStringLiteral("-e")} + command +
                                                      QStringList{path}))
                return true;
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool RealProgramLauncher::startCalculator()
{
    static const char *const calculators[] = {"gnome-calculator", "kcalc",         "galculator",
                                              "mate-calc",        "qalculate-gtk", "xcalc"};
    for (const char *name : calculators) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return QProcess::startDetached(program, {});
    }
    return false;
}

bool RealProgramLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void RealSound::playSync(const QString &path)
{
    // Without an audio output a sound effect never reports that it finished; waiting for
    // it would freeze the window, so play nothing and return at once.
    if (!QFileInfo::exists(path) || QMediaDevices::audioOutputs().isEmpty())
        return;
    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(path));
    QEventLoop loop;
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect.isPlaying())
            loop.quit();
    });
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Error)
            loop.quit();
        else if (effect.status() == QSoundEffect::Ready && !effect.isPlaying())
            effect.play();
    });
    // A short wave file never plays longer than this; the guard keeps a broken audio
    // back end from holding the window.
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (effect.status() == QSoundEffect::Ready)
        effect.play();
    // Timers and repaints go on while the sound plays, but no click or key: a handler that
    // plays a sound is never entered again before its sound has ended.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

RealConnectionState::RealConnectionState(NetworkManager &networkManager) : m_nm(networkManager) {}

int RealConnectionState::connectedFlags()
{
    if (const auto active = m_nm.activeConnections()) {
        int flags = 0;
        for (const NetworkManager::Active &connection : *active) {
            if (connection.state != NetworkManager::Activated ||
                connection.type == QLatin1String("loopback"))
                continue;
            flags |= m_nm.isListedDialUpProfile(connection.profile) ? Modem : Lan;
        }
        return flags;
    }
    // The system's reachability comes from NetworkManager too where it runs, and loading
    // it waits for NetworkManager's answer: only asked where NetworkManager is absent.
    if (m_nm.isAbsent() && QNetworkInformation::loadDefaultBackend() &&
        QNetworkInformation::instance()) {
        QNetworkInformation *info = QNetworkInformation::instance();
        const auto reach = info->reachability();
        int flags = 0;
        if (reach == QNetworkInformation::Reachability::Online ||
            reach == QNetworkInformation::Reachability::Site) {
            if (info->supports(QNetworkInformation::Feature::TransportMedium) &&
                info->transportMedium() == QNetworkInformation::TransportMedium::Cellular)
                flags |= Modem;
            else
                flags |= Lan;
        }
        if (reach != QNetworkInformation::Reachability::Unknown)
            return flags;
    }
    // No back end could say: any running interface that is not the loopback counts as LAN,
    // and a point-to-point one as a modem link.
    int flags = 0;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto f = iface.flags();
        if (!(f & QNetworkInterface::IsUp) || !(f & QNetworkInterface::IsRunning) ||
            (f & QNetworkInterface::IsLoopBack))
            continue;
        if (iface.addressEntries().isEmpty())
            continue;
        if (f & QNetworkInterface::IsPointToPoint)
            flags |= Modem;
        else
            flags |= Lan;
    }
    return flags;
}

RealDialUp::RealDialUp(NetworkManager &networkManager) : m_nm(networkManager) {}

QStringList RealDialUp::entries()
{
    // A NetworkManager that answers at once has its entries listed here; a slow one holds
    // the window no longer than this short wait.
    if (!m_nm.dialUpProfiles())
        m_nm.settle(EntriesWaitMs);
    QStringList names;
    for (const NetworkManager::Profile &p :
         m_nm.dialUpProfiles().value_or(QList<NetworkManager::Profile>()))
        names << p.id;
    return names;
}

void RealDialUp::onEntriesChanged(QObject *context, std::function<void()> changed)
{
    m_nm.onProfilesChanged(context, std::move(changed));
}

QList<DialUpService::ActiveConnection> RealDialUp::activeConnections()
{
    QList<ActiveConnection> result;
    for (const NetworkManager::Active &a :
         m_nm.activeConnections().value_or(QList<NetworkManager::Active>())) {
        if (NetworkManager::isDialUpType(a.type))
            result.append({a.path, a.id});
    }
    return result;
}

bool RealDialUp::dial(const QString &entryName, QObject *context, std::function<void()> refused)
{
    // The entries as the list shows them: no second read of every profile per dial.
    for (const NetworkManager::Profile &p :
         m_nm.dialUpProfiles().value_or(QList<NetworkManager::Profile>())) {
        if (p.id != entryName)
            continue;
        return m_nm.activate(p.path, context, [refused = std::move(refused)](bool accepted) {
            if (!accepted && refused)
                refused();
        });
    }
    return false;
}

void RealDialUp::hangUp(const QStringList &handles, int waitMs)
{
    m_nm.deactivate(handles, waitMs);
}

std::optional<QColor> RealDialogs::chooseColor(QWidget *parent, const QColor &initial,
                                               const QString &title)
{
    // Qt's colour dialog always shows its custom colours.
    const QColor color = QColorDialog::getColor(initial, parent, title);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString RealDialogs::openFileName(QWidget *parent, const QString &title, const QString &folder,
                                  const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

bool RealDialogs::print(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<QPrinter> RealPrinter::createPrinter()
{
    return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

RealTrayIcon::RealTrayIcon(QObject *parent) : TrayIconService(parent) {}

void RealTrayIcon::showIcon(const QIcon &icon, const QString &toolTip)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) {
                    if (r == QSystemTrayIcon::DoubleClick)
                        Q_EMIT doubleClicked();
                    else
                        Q_EMIT activated();
                });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(toolTip);
    m_icon->show();
}

void RealTrayIcon::removeIcon()
{
    if (m_icon)
        m_icon->hide();
}

bool RealTrayIcon::isShown() const
{
    return m_icon && m_icon->isVisible();
}

bool RealTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}
