#include "RealPlatform.h"

#include <QAudioDevice>
#include <QColorDialog>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
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
    // The user's chosen editor first, then the desktop's handler for text files.
    const QString editor = qEnvironmentVariable("VISUAL", qEnvironmentVariable("EDITOR"));
    if (!editor.isEmpty() && !QStandardPaths::findExecutable(editor).isEmpty() &&
        QProcess::startDetached(editor, {path}))
        return true;
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

int RealConnectionState::connectedFlags()
{
    int flags = 0;
    if (QNetworkInformation::loadDefaultBackend() && QNetworkInformation::instance()) {
        QNetworkInformation *info = QNetworkInformation::instance();
        const auto reach = info->reachability();
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

namespace {

const QString kNmService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kNmPath = QStringLiteral("/org/freedesktop/NetworkManager");

bool isDialUpType(const QString &type)
{
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") ||
           type == QLatin1String("pppoe") || type == QLatin1String("bluetooth");
}

// Connection profiles as (object path, id, type); empty where NetworkManager is absent.
struct Profile
{
    QString path;
    QString id;
    QString type;
};

QList<Profile> dialUpProfiles()
{
    QList<Profile> result;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return result;
    QDBusInterface settings(kNmService, kNmPath + QStringLiteral("/Settings"),
                            kNmService + QStringLiteral(".Settings"), bus);
    if (!settings.isValid())
        return result;
    settings.setTimeout(2000);
    const QDBusReply<QList<QDBusObjectPath>> paths =
        settings.call(QStringLiteral("ListConnections"));
    if (!paths.isValid())
        return result;
    for (const QDBusObjectPath &path : paths.value()) {
        QDBusInterface conn(kNmService, path.path(),
                            kNmService + QStringLiteral(".Settings.Connection"), bus);
        conn.setTimeout(2000);
        const QDBusMessage reply = conn.call(QStringLiteral("GetSettings"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            continue;
        // a{sa{sv}}: the "connection" group holds id and type.
        QMap<QString, QVariantMap> groups;
        const QDBusArgument arg = reply.arguments().constFirst().value<QDBusArgument>();
        arg >> groups;
        const QVariantMap connection = groups.value(QStringLiteral("connection"));
        const QString type = connection.value(QStringLiteral("type")).toString();
        if (isDialUpType(type))
            result.append({path.path(), connection.value(QStringLiteral("id")).toString(), type});
    }
    return result;
}

} // namespace

QStringList RealDialUp::entries()
{
    QStringList names;
    for (const Profile &p : dialUpProfiles())
        names << p.id;
    return names;
}

QList<DialUpService::ActiveConnection> RealDialUp::activeConnections()
{
    QList<ActiveConnection> result;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return result;
    QDBusInterface nm(kNmService, kNmPath, kNmService, bus);
    if (!nm.isValid())
        return result;
    const QVariant active = nm.property("ActiveConnections");
    const auto paths = qdbus_cast<QList<QDBusObjectPath>>(active);
    for (const QDBusObjectPath &path : paths) {
        QDBusInterface conn(kNmService, path.path(),
                            kNmService + QStringLiteral(".Connection.Active"), bus);
        if (!conn.isValid())
            continue;
        if (isDialUpType(conn.property("Type").toString()))
            result.append({path.path(), conn.property("Id").toString()});
    }
    return result;
}

bool RealDialUp::dial(const QString &entryName)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    for (const Profile &p : dialUpProfiles()) {
        if (p.id != entryName)
            continue;
        QDBusInterface nm(kNmService, kNmPath, kNmService, bus);
        // Activation returns at once; the link comes up later.
        nm.asyncCall(QStringLiteral("ActivateConnection"),
                     QVariant::fromValue(QDBusObjectPath(p.path)),
                     QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))),
                     QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))));
        return true;
    }
    return false;
}

bool RealDialUp::hangUp(const QString &handle)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface nm(kNmService, kNmPath, kNmService, bus);
    nm.asyncCall(QStringLiteral("DeactivateConnection"),
                 QVariant::fromValue(QDBusObjectPath(handle)));
    return true;
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
