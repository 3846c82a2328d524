#pragma once

#include <QStringList>
#include <QTimer>
#include <QtGlobal>

#include <functional>

struct MainState;
class DialUpService;
class OptionsModel;
class QWidget;
class Transfer;

// Deciding whether a usable connection exists, dialling and hanging up a dial-up entry,
// redialling a lost link, and applying the proxy to the quote downloader. The status lamp
// shows the outcome.
class Connectivity
{
public:
    // The list of dial-up entries and the boxes that follow it, in the window that holds the
    // connection choices (the Options window). The choices themselves are read from the
    // OptionsModel.
    class Choices
    {
    public:
        virtual ~Choices() = default;
        // Makes the entry list and the dial-up boxes unavailable.
        virtual void clearDialUpControls() = 0;
        // Adds the entries to the list; when the list then has any, selects the first, makes
        // the list and the dial-up boxes available and the proxy boxes unavailable.
        virtual void listDialUpEntries(const QStringList &entries) = 0;
        virtual int dialUpEntryCount() const = 0;
        // The entry shown in the list; empty when none.
        virtual QString selectedDialUpEntry() const = 0;
        virtual void setProxyBoxesEnabled(bool enabled) = 0;
    };

    // paintLamp receives a colour in blue-green-red order; timInterval is the update timer.
    Connectivity(MainState &state, OptionsModel &options, Choices &choices, Transfer &inetQuotes,
                 std::function<void(qint32)> paintLamp, QTimer &timInterval);

    bool ViaLAN() const;
    bool ViaModem() const;
    // A usable connection exists; paints the lamp. The quote address on the loopback counts
    // as a LAN link, so the built-in feed works on a machine without any network.
    bool ActiveConnection();
    // Starts dialling the selected entry; false when it could not be started.
    bool Connect();
    void HangUp();
    void SetUpDialUp();
    void SetProxy();
    // The dial-up watchdog of the update tick. True when the user chose to redial, which
    // ends the tick without a quote update.
    bool DialUpWatchdog(QWidget *parent);
    // The Options window's Connect button: dials now, and the watchdog may fire again.
    void cmdConnect_Click();

    // Reads the saved choice of dial-up entry (a list position as text), for entries that
    // the dial-up service delivers only after the settings were loaded.
    void setSavedEntryChoice(std::function<QString()> read)
    {
        m_savedEntryChoice = std::move(read);
    }

    // A redial that has not brought the link up within this time has failed.
    static constexpr int RedialLimitMs = 2 * 60 * 1000;
    void setRedialLimit(int ms) { m_redialLimit.setInterval(ms); }
    // Hanging up waits this long at most, in all, for the dial-up service to take the
    // requests: the program's exit stays within 2 s.
    static constexpr int HangUpWaitMs = 1750;

private:
    bool quoteAddressOnLoopback() const;
    void listEntries(const QStringList &entries);
    void entriesArrived(DialUpService *dialUp);
    // Dials from the watchdog; while the redial is pending the watchdog stays silent.
    void redial();
    void redialFailed();

    MainState &m_state;
    OptionsModel &m_options;
    Choices &m_choices;
    Transfer &m_inetQuotes;
    std::function<void(qint32)> m_paintLamp;
    QTimer &m_timInterval;
    // Runs out when a redial took too long; also the context of the dialler's late answer.
    QTimer m_redialLimit;
    // The dial-up service whose late entries are taken.
    DialUpService *m_entriesSource = nullptr;
    std::function<QString()> m_savedEntryChoice;
};
