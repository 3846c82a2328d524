#include "Connectivity.h"

#include "Transfer.h"
#include "app/MainState.h"
#include "common/Colors.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "ui_frmOptions.h"

#include <QHostAddress>
#include <QUrl>

Connectivity::Connectivity(MainState &state, frmOptions &options, Transfer &inetQuotes,
                           std::function<void(qint32)> paintLamp, std::function<void()> enableTimer)
    : m_state(state), m_options(options), m_inetQuotes(inetQuotes),
      m_paintLamp(std::move(paintLamp)), m_enableTimer(std::move(enableTimer))
{
}

bool Connectivity::quoteAddressOnLoopback() const
{
    for (const QString &address : {m_state.StockURL, m_state.MarketURL, m_state.IndicesURL}) {
        const QUrl url(address);
        const QString host = url.host();
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            return true;
        const QHostAddress ip(host);
        if (!ip.isNull() && ip.isLoopback())
            return true;
    }
    return false;
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
    const bool useDialUp = m_options.ui->chkUseDialUp->isChecked();
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

void Connectivity::Connect()
{
    // Any failure (no entry selected, no dialler) ends silently.
    const QString entry = m_options.ui->cboDialUpList->currentText();
    if (m_options.ui->cboDialUpList->currentIndex() < 0 || entry.isEmpty())
        return;
    if (!Platform::instance().dialUp->dial(entry))
        return;
    m_enableTimer();
    m_paintLamp(Colors::LampBusy);
}

void Connectivity::HangUp()
{
    const QString selected = m_options.ui->cboDialUpList->currentText().trimmed();
    const auto connections = Platform::instance().dialUp->activeConnections();
    for (int i = 0; i < connections.size() && i < 256; ++i) {
        if (connections.at(i).entryName.trimmed() == selected)
            Platform::instance().dialUp->hangUp(connections.at(i).handle);
    }
}

void Connectivity::SetUpDialUp()
{
    auto *ui = m_options.ui;
    ui->cboDialUpList->setEnabled(false);
    ui->chkAutoDial->setEnabled(false);
    ui->chkDisconnectOnExit->setEnabled(false);
    ui->chkReconnectOnDisconnect->setEnabled(false);
    const QStringList entries = Platform::instance().dialUp->entries();
    for (const QString &entry : entries)
        ui->cboDialUpList->addItem(entry);
    if (ui->cboDialUpList->count() > 0) {
        ui->cboDialUpList->setCurrentIndex(0);
        ui->txtProxyServer->setEnabled(false);
        ui->txtProxyPort->setEnabled(false);
        ui->cboDialUpList->setEnabled(true);
        ui->chkAutoDial->setEnabled(true);
        ui->chkDisconnectOnExit->setEnabled(true);
        ui->chkReconnectOnDisconnect->setEnabled(true);
    }
}

void Connectivity::SetProxy()
{
    auto *ui = m_options.ui;
    m_inetQuotes.setAccessType(Transfer::AccessType::Default);
    m_inetQuotes.setProxy(QString());
    if (ui->chkUseProxy->isChecked()) {
        ui->txtProxyServer->setEnabled(true);
        ui->txtProxyPort->setEnabled(true);
        if (!ui->txtProxyServer->text().isEmpty()) {
            m_inetQuotes.setAccessType(Transfer::AccessType::NamedProxy);
            m_inetQuotes.setProxy(ui->txtProxyServer->text() + QLatin1Char(':') +
                                  ui->txtProxyPort->text());
        }
    }
}
