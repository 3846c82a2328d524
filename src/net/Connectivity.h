#pragma once

#include <QtGlobal>

#include <functional>

struct MainState;
class frmOptions;
class QWidget;
class Transfer;

// Deciding whether a usable connection exists, dialling and hanging up a dial-up entry,
// and applying the proxy to the quote downloader. The status lamp shows the outcome.
class Connectivity
{
public:
    // paintLamp receives a colour in blue-green-red order.
    Connectivity(MainState &state, frmOptions &options, Transfer &inetQuotes,
                 std::function<void(qint32)> paintLamp, std::function<void()> enableTimer);

    bool ViaLAN() const;
    bool ViaModem() const;
    // A usable connection exists; paints the lamp. A quote address on the loopback counts
    // as a LAN link, so the built-in feed works on a machine without any network.
    bool ActiveConnection();
    void Connect();
    void HangUp();
    void SetUpDialUp();
    void SetProxy();

private:
    bool quoteAddressOnLoopback() const;

    MainState &m_state;
    frmOptions &m_options;
    Transfer &m_inetQuotes;
    std::function<void(qint32)> m_paintLamp;
    std::function<void()> m_enableTimer;
};
