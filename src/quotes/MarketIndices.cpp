#include "MarketIndices.h"

#include "QuoteDownload.h"
#include "QuoteParser.h"
#include "common/MainState.h"
#include "grid/QuoteGrid.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "platform/ErrorReporter.h"
#include "screen/Colors.h"
#include "settings/IndexTable.h"
#include "settings/OptionsModel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTime>
#include <QTimer>

namespace {

// The time as the desktop writes it, with seconds and without a time zone.
QString timeText(const QTime &time)
{
    const QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return locale.toString(time, format.trimmed());
}

} // namespace

MarketIndices::MarketIndices(MainState &state, QuotePanel &panel, const OptionsView &options,
                             Transfer &inetQuotes, Connectivity &connectivity, QuoteGrid &quoteGrid,
                             IndexTicker &ticker, QTimer &timScroll,
                             std::function<void(qint32)> paintLamp, QObject *parent)
    : QObject(parent), m_state(state), m_panel(panel), m_options(options), m_inetQuotes(inetQuotes),
      m_connectivity(connectivity), m_quoteGrid(quoteGrid), m_ticker(ticker),
      m_timScroll(timScroll), m_paintLamp(std::move(paintLamp))
{
}

QString MarketIndices::requestAddress(int i) const
{
    return m_options.model->MarketURL.value() + IndexTable::symbol(i).trimmed().toLower();
}

void MarketIndices::setPopupMenuEnabled(bool enabled)
{
    if (m_popupMenu) {
        m_popupMenu->setEnabled(enabled);
        m_popupMenu->menuAction()->setEnabled(enabled);
    }
}

void MarketIndices::endEarly()
{
    // The download ends without its finishing steps, but the window stays usable: the
    // ticker runs on with its old lines, the menu comes back, the lamp says it failed.
    m_state.ReplyText.clear();
    m_endedEarly = true;
    m_paintLamp(Colors::LampOffline);
    m_ticker.setBusyPointer(false);
    m_timScroll.start();
    setPopupMenuEnabled(true);
}

bool MarketIndices::GetMarketQuotes()
{
    // As for the quotes, a chosen proxy stands in for a detected connection.
    const bool connected =
        m_connectivity.ActiveConnection() || m_options.model->UseProxyServer.value();
    if (m_inetQuotes.StillExecuting() || m_options.window->isVisible() || !connected)
        return true;
    m_paintLamp(Colors::LampBusy);
    m_endedEarly = false;
    bool finished = false;
    bool complete = false;
    guardSilently([this, &finished, &complete] {
        complete = fetchIndices();
        finished = true;
    });
    if (!finished && !m_inetQuotes.isShutDown())
        endEarly(); // a run-time failure ended it
    return complete && !m_endedEarly;
}

bool MarketIndices::fetchIndices()
{
    m_timScroll.stop();
    m_panel.setUpdateTime(timeText(QTime::currentTime()));

    m_inetQuotes.setRequestTimeout(RequestTimeoutSeconds);
    m_ticker.setBusyPointer(true);
    setPopupMenuEnabled(false);
    m_state.ReplyText.clear();

    bool transferFailed = false;
    for (int i = 0; i < OptionsModel::IndexCount; ++i) {
        if (!m_options.model->Index[std::size_t(i)].value())
            continue;
        const QString address = requestAddress(i);
        QCoreApplication::processEvents();
        const QString reply = m_inetQuotes.OpenURL(address);
        m_state.ReplyText += reply;
        QCoreApplication::processEvents();

        if (m_inetQuotes.isShutDown())
            return true; // the program is ending
        if (m_inetQuotes.ResponseCode() > TransferErrorAbove) {
            transferFailed = true;
            break;
        }
        if (m_state.ReplyText.contains(QLatin1String("Access Denied"), Qt::CaseInsensitive)) {
            // The box's answer takes the place of the reply; the download ends here.
            m_state.ReplyText =
                QString::number(QuoteDownload::showAccessDenied(m_panel.dialogParent()));
            endEarly();
            return false;
        }
        if (m_state.ReplyText.size() < MinimumReplyLength ||
            !QuoteParser::isQuoteText(reply, m_inetQuotes.contentType())) {
            endEarly();
            return false;
        }
        m_state.TickerIndex = i;
        m_ticker.BuildTickerItem();
    }

    // A transfer error skips the remaining indices but the ticker runs on with the lines it
    // has; the lamp says that the download failed, not that it is done.
    m_paintLamp(transferFailed ? Colors::LampOffline : Colors::LampDone);
    m_ticker.setBusyPointer(false);
    m_state.ReplyText.clear();
    m_timScroll.start();
    setPopupMenuEnabled(true);
    m_quoteGrid.RowColors();
    m_quoteGrid.showGrid();
    return !transferFailed;
}
