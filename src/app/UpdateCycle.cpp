#include "UpdateCycle.h"

#include "common/MainState.h"
#include "common/Numbers.h"
#include "common/RuntimeError.h"
#include "net/Connectivity.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "screen/Twips.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QMessageBox>
#include <QTimer>

#include <cmath>
#include <limits>

UpdateCycle::UpdateCycle(MainState &state, frmStockMain &form, frmOptions &options,
                         Connectivity &connectivity, QTimer &timInterval,
                         std::function<void()> getQuotes)
    : m_state(state), m_form(form), m_options(options), m_connectivity(connectivity),
      m_timInterval(timInterval), m_getQuotes(std::move(getQuotes)),
      m_screenWidthTwips([&form] { return Twips::screenSize(form).width(); })
{
}

QString UpdateCycle::countdownText(int remainingSeconds)
{
    if (remainingSeconds > 60)
        return Format(remainingSeconds / 60.0, u"###.##") + QStringLiteral(" Minutes");
    return QString::number(remainingSeconds) + QStringLiteral(" Seconds");
}

qint16 UpdateCycle::intervalSeconds(const QString &minutesText)
{
    // The list's items are written with "." whatever the user's locale, so they are read
    // the same way.
    if (!IsNumeric(minutesText))
        throw RuntimeError(QStringLiteral("timInterval_Timer"), RuntimeError::TypeMismatch,
                           QStringLiteral("Type mismatch"));
    const double seconds = std::nearbyint(Val(minutesText) * 60.0);
    if (seconds < 0 || seconds > std::numeric_limits<qint16>::max())
        throw RuntimeError(QStringLiteral("timInterval_Timer"), RuntimeError::Overflow,
                           QStringLiteral("Overflow"));
    return qint16(seconds);
}

void UpdateCycle::timInterval_Timer()
{
    guardSilently([this] { tick(); });
}

void UpdateCycle::tick()
{
    frmStockMain *form = &m_form;

    form->picMaxWide()->setVisible(m_screenWidthTwips() > WideScreenTwips);

    if (m_options.model().UpdateSeconds.value() < 0)
        throw RuntimeError(QStringLiteral("timInterval_Timer"), RuntimeError::TypeMismatch,
                           QStringLiteral("Type mismatch"));
    UpdateInterval = intervalSeconds(m_options.updateInterval());

    UpdateElapsed = qint16(UpdateElapsed + 1);
    if (UpdateElapsed > UpdateInterval)
        UpdateElapsed = UpdateInterval;
    UpdateRemaining = qint16(UpdateInterval - UpdateElapsed);

    form->setNextUpdate(m_options.model().AutoUpdate.value() ? countdownText(UpdateRemaining)
                                                             : QStringLiteral("Disabled"));

    if (UpdateElapsed != UpdateInterval)
        return;
    UpdateElapsed = 0;
    // A redial after asking ends the tick. The download refuses to start while one runs,
    // so a tick that comes inside a running download starts nothing.
    if (m_connectivity.DialUpWatchdog(&m_form))
        return;
    if (m_options.model().AutoUpdate.value() && m_connectivity.ActiveConnection())
        m_getQuotes();
}

void UpdateCycle::cboSeconds_Change()
{
    UpdateElapsed = 0;
    UpdateRemaining = 0;
    // The whole number of the item's text (its minutes); a text that is no number is 0.
    const double minutes = std::nearbyint(Val(m_options.updateInterval()));
    UpdateInterval = qint16(qBound(0.0, minutes, double(std::numeric_limits<qint16>::max())));
}

void UpdateCycle::cmdUpdate_Click()
{
    PlayClick();
    auto *button = m_form.cmdUpdate();
    if (button->state() != LinkButton::Up)
        button->setState(LinkButton::Up);
    // The user takes over: a redial that never came up no longer silences the watchdog.
    m_state.RedialPending = false;

    if (m_connectivity.ActiveConnection() || m_options.model().UseProxyServer.value()) {
        m_timInterval.start();
        (m_requestQuotes ? m_requestQuotes : m_getQuotes)();
    }
    if (m_connectivity.ActiveConnection())
        return;
    if (m_options.model().EnableAutoDial.value()) {
        m_connectivity.Connect();
        return;
    }
    Platform::instance().messageBox->show(
        &m_form, QStringLiteral("Vantora Critical Error"),
        QStringLiteral("No active Internet connection detected!\r\n"
                       "If you are connected then please check your settings in Options."),
        MessageBoxService::Icon::Critical, QMessageBox::Ok);
}
