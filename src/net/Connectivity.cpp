#include "Connectivity.h"

#include "Transfer.h"
#include "common/MainState.h"
#include "platform/Platform.h"
#include "screen/Colors.h"
#include "settings/OptionsModel.h"

#include <QHostAddress>
#include <QMessageBox>
#include <QUrl>

Connectivity::Connectivity(MainState &state, OptionsModel &options, Choices &choices,
                           Transfer &inetQuotes, std::function<void(qint32)> paintLamp,
                           QTimer &timInterval)
    : m_state(state), m_options(options), m_choices(choices), m_inetQuotes(inetQuotes),
      m_paintLamp(std::move(paintLamp)), m_timInterval(timInterval)
{
    m_redialLimit.setSingleShot(true);
    m_redialLimit.setInterval(RedialLimitMs);
    QObject::connect(&m_redialLimit, &QTimer::timeout, &m_redialLimit, [this] { redialFailed(); });
}

bool Connectivity::quoteAddressOnLoopback() const
{
    // Only the quote address: the index and page addresses never make an offline machine
    // look connected.
    const QString host = QUrl(m_options.StockURL.value()).host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress ip(host);
    return !ip.isNull() && ip.isLoopback();
}

bool Connectivity::ViaLAN() const
{
    return (Platform::instance().connection->connectedFlags() & ConnectionStateService::Lan) ||
           quoteAddressOnLoopback();
}

bool Connectivity::ViaModem() const
{
    return Platform::instance().connection->connectedFlags() & ConnectionStateService::Modem;
}

bool Connectivity::ActiveConnection()
{
    const bool lan = ViaLAN();
    const bool useDialUp = m_options.UseDialUp.value();
    if (!useDialUp && lan) {
        m_paintLamp(Colors::LampDone);
        return true;
    }
    if (useDialUp && ViaModem()) {
        m_paintLamp(Colors::LampDone);
        m_state.RedialPending = false;
        return true;
    }
    m_paintLamp(Colors::LampOffline);
    return false;
}

bool Connectivity::Connect()
{
    // Any failure (no entry selected, no dialler) ends silently.
    const QString entry = m_choices.selectedDialUpEntry();
    if (entry.isEmpty())
        return false;
    if (!Platform::instance().dialUp->dial(entry, &m_redialLimit, [this] { redialFailed(); }))
        return false;
    m_timInterval.start();
    m_paintLamp(Colors::LampBusy);
    return true;
}

void Connectivity::redial()
{
    if (!Connect())
        return;
    m_state.RedialPending = true;
    m_redialLimit.start();
}

void Connectivity::redialFailed()
{
    // The dialler gave up or took too long: the watchdog may ask again at its next round.
    m_redialLimit.stop();
    m_state.RedialPending = false;
}

bool Connectivity::DialUpWatchdog(QWidget *parent)
{
    if (!m_options.UseDialUp.value() || m_state.RedialPending || ViaModem())
        return false;
    m_paintLamp(Colors::LampOffline);
    if (m_options.Reconnect.value()) {
        m_paintLamp(Colors::LampBusy);
        redial();
        return false;
    }
    m_timInterval.stop();
    const int answer = Platform::instance().messageBox->show(
        parent, QStringLiteral("Vantora Connection Error"),
        QStringLiteral("Internet connection lost! - redial?"), MessageBoxService::Icon::Critical,
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return false; // automatic updates stay off until the user starts one
    redial();
    m_timInterval.start();
    m_paintLamp(Colors::LampBusy);
    return true;
}

void Connectivity::cmdConnect_Click()
{
    redialFailed();
    Connect();
}

void Connectivity::HangUp()
{
    const QString selected = m_choices.selectedDialUpEntry().trimmed();
    const auto connections = Platform::instance().dialUp->activeConnections();
    QStringList handles;
    for (int i = 0; i < connections.size() && i < 256; ++i) {
        if (connections.at(i).entryName.trimmed() == selected)
            handles << connections.at(i).handle;
    }
    // The requests reach the service before the program goes on (to its end, at exit),
    // however many there are, within one bounded wait.
    if (!handles.isEmpty())
        Platform::instance().dialUp->hangUp(handles, HangUpWaitMs);
}

void Connectivity::SetUpDialUp()
{
    m_choices.clearDialUpControls();
    DialUpService *dialUp = Platform::instance().dialUp;
    if (m_entriesSource != dialUp) {
        m_entriesSource = dialUp;
        dialUp->onEntriesChanged(&m_redialLimit, [this, dialUp] { entriesArrived(dialUp); });
    }
    listEntries(dialUp->entries());
}

void Connectivity::entriesArrived(DialUpService *dialUp)
{
    // A service that answered after the entries were listed: an empty list takes them as
    // the start would have; a list the user already has stays as it is.
    if (m_choices.dialUpEntryCount() > 0 || Platform::instance().dialUp != dialUp)
        return;
    listEntries(dialUp->entries());
    // The saved choice of entry found an empty list when the settings were loaded: it is
    // applied now, as loading does while dial-up is chosen, so that the next save keeps it.
    if (m_savedEntryChoice && m_options.UseDialUp.value()) {
        bool ok = false;
        const int index = m_savedEntryChoice().trimmed().toInt(&ok);
        if (ok && index >= -1 && index < m_choices.dialUpEntryCount())
            m_options.DialUpDefault.set(qint16(index));
    }
    // The proxy boxes then follow the proxy choice, as after the start.
    if (m_choices.dialUpEntryCount() > 0 && m_options.UseProxyServer.value())
        m_choices.setProxyBoxesEnabled(true);
}

void Connectivity::listEntries(const QStringList &entries)
{
    m_choices.listDialUpEntries(entries);
}

void Connectivity::SetProxy()
{
    m_inetQuotes.setAccessType(Transfer::AccessType::Default);
    m_inetQuotes.setProxy(QString());
    if (m_options.UseProxyServer.value()) {
        m_choices.setProxyBoxesEnabled(true);
        if (!m_options.ProxyServer.value().isEmpty()) {
            m_inetQuotes.setAccessType(Transfer::AccessType::NamedProxy);
            m_inetQuotes.setProxy(m_options.ProxyServer.value() + QLatin1Char(':') +
                                  m_options.ProxyPort.value());
        }
    }
}
