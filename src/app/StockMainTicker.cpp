#include "StockMain.h"

#include "app/TickerFeed.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "quotes/MarketIndices.h"
#include "window/LinkButton.h"
#include "window/ScrollerHost.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QMenu>

namespace {

// The objects of the ticker concern, kept by the main window for its whole life.
struct TickerConcern
{
    std::unique_ptr<TickerFeed> ticker;
    std::unique_ptr<MarketIndices> indices;
};

} // namespace

// The market-index download and the ticker are wired here.
void StockMain::wireTicker()
{
    auto concern = std::make_shared<TickerConcern>();
    frmStockMain *form = m_form.get();

    concern->ticker = std::make_unique<TickerFeed>(m_state, *form, *m_options, *m_scroller,
                                                   *m_quoteGrid, m_timScroll);
    concern->indices = std::make_unique<MarketIndices>(
        m_state, *form, m_options->view(), *m_inetQuotes, *m_connectivity, *m_quoteGrid,
        *concern->ticker, m_timScroll, [this](qint32 c) { paintLamp(c); });

    // The main pop-up menu belongs to the main window; the quote concern creates it.
    if (auto *menu = form->findChild<QMenu *>(QStringLiteral("MnuVantora"))) {
        concern->ticker->setPopupMenu(menu);
        concern->indices->setPopupMenu(menu);
    }

    TickerFeed *ticker = concern->ticker.get();
    connect(&m_timScroll, &QTimer::timeout, this,
            [ticker, form] { guard([ticker] { ticker->timScroll_Timer(); }, form); });
    connect(m_scroller.get(), &ScrollerHost::DblClick, this,
            [ticker, form] { guard([ticker] { ticker->Scroller1_DblClick(); }, form); });
    connect(m_scroller.get(), &ScrollerHost::MouseDown, this,
            [ticker, form](short button, short shift, float x, float y) {
                guard([&] { ticker->Scroller1_MouseDown(button, shift, x, y); }, form);
            });
    connect(m_scroller.get(), &ScrollerHost::MouseMove, this,
            [ticker, form](short button, short shift, float x, float y) {
                guard([&] { ticker->Scroller1_MouseMove(button, shift, x, y); }, form);
            });
    // A property value the control refuses, or a pass it had to end, is reported like any
    // other run-time error.
    connect(m_scroller.get(), &ScrollerHost::Error, this,
            [form](int number, const QString &description) {
                ErrorMessage(RuntimeError(QStringLiteral("Scroller1"), number, description), form);
            });
    // Printing ends quietly at its first failure, a cancelled dialog included.
    connect(form->cmdPrintTicker(), &QAbstractButton::clicked, this,
            [ticker] { guardSilently([ticker] { ticker->cmdPrintTicker_Click(); }); });
    connect(this, &StockMain::exiting, ticker, &TickerFeed::stop);
    connect(&m_options->model().EnableScrollIndex, &OptionValue::changed, this,
            [ticker, form] { guard([ticker] { ticker->chkScroll_Changed(); }, form); });

    m_tickerConcern = concern;
    m_timScroll.start();
}

bool StockMain::GetMarketQuotes()
{
    auto concern = std::static_pointer_cast<TickerConcern>(m_tickerConcern);
    return !concern || concern->indices->GetMarketQuotes();
}

TickerFeed &StockMain::tickerFeed()
{
    return *std::static_pointer_cast<TickerConcern>(m_tickerConcern)->ticker;
}
