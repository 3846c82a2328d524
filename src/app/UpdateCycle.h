#pragma once

#include <QString>

#include <functional>

struct MainState;
class frmStockMain;
class frmOptions;
class Connectivity;
class QTimer;

// The update cycle: the one-second tick of timInterval counts down the interval chosen in
// the Options window, shows the time left in txtNextUpdate and starts a quote download when
// the count is reached; the Update button starts one at once.
class UpdateCycle
{
public:
    UpdateCycle(MainState &state, frmStockMain &form, frmOptions &options,
                Connectivity &connectivity, QTimer &timInterval, std::function<void()> getQuotes);

    // One tick. A failure (an interval that is not a number, no interval chosen) ends the
    // tick silently; the next tick starts afresh.
    void timInterval_Timer();
    // The tick's work; throws RuntimeError where the tick ends early.
    void tick();
    void cmdUpdate_Click();
    // Another interval was chosen: the countdown starts again; the next tick takes the
    // interval from the chosen item.
    void cboSeconds_Change();

    // "59 Seconds", or above one minute "4.98 Minutes" ("2. Minutes" for a whole minute).
    static QString countdownText(int remainingSeconds);
    // The interval in seconds of an item of cboSeconds (minutes, "." as the decimal point);
    // throws RuntimeError when the text is not a number.
    static qint16 intervalSeconds(const QString &minutesText);

    // What the Update button runs: a download now, or right after the running one (the
    // tick's own download is never queued). By default the same as the tick's.
    void setRequestQuotes(std::function<void()> requestQuotes)
    {
        m_requestQuotes = std::move(requestQuotes);
    }

    // The screen width in twips that decides whether picMaxWide shows (tests replace it).
    void setScreenWidthTwips(std::function<double()> width)
    {
        m_screenWidthTwips = std::move(width);
    }

    qint16 UpdateElapsed = 0;
    qint16 UpdateInterval = 0;
    qint16 UpdateRemaining = 0;

    // picMaxWide shows only on screens wider than this.
    static constexpr double WideScreenTwips = 14000;

private:
    MainState &m_state;
    frmStockMain &m_form;
    frmOptions &m_options;
    Connectivity &m_connectivity;
    QTimer &m_timInterval;
    std::function<void()> m_getQuotes;
    std::function<void()> m_requestQuotes;
    std::function<double()> m_screenWidthTwips;
};
