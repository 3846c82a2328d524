#include "StockMain.h"

#include "UpdateCycle.h"
#include "browser/BrowserPanel.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "quotes/QuoteDownload.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include "window/PopupMenu.h"
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace {

// The objects of the quote concern, kept by the main window for its whole life.
struct QuotesConcern
{
    QMenu *MnuVantora = nullptr; // owned by the main window
    std::unique_ptr<QuoteDownload> download;
    std::unique_ptr<UpdateCycle> cycle;
};

} // namespace

// The quote download, the grid's mouse actions and the update cycle are wired here.
void StockMain::wireQuotes()
{
    auto concern = std::make_shared<QuotesConcern>();
    frmStockMain *form = m_form.get();
    FlexGrid *grid = form->gridQuotes();

    // The main pop-up menu; its entries come with the menu's own concern.
    concern->MnuVantora = new QMenu(form);
    concern->MnuVantora->setObjectName(QStringLiteral("MnuVantora"));

    concern->download = std::make_unique<QuoteDownload>(
        m_state, *form, m_options->view(), *m_inetQuotes, *m_connectivity, *m_quoteGrid,
        [this](qint32 c) { paintLamp(c); });
    concern->download->setPopupMenu(concern->MnuVantora);
    concern->download->setMarketQuotes([this] { return GetMarketQuotes(); });
    concern->cycle = std::make_unique<UpdateCycle>(m_state, *form, *m_options, *m_connectivity,
                                                   m_timInterval, [this] { GetQuotes(); });
    concern->cycle->setRequestQuotes([this] { requestQuotes(); });

    m_quoteGrid->setContextMenu(
        [menu = QPointer<QMenu>(concern->MnuVantora)] { PopupMenu::popup(menu, QCursor::pos()); });
    m_quoteGrid->setPanelReset([form] { BrowserPanel::SetButtons(*form); });

    connect(grid, &FlexGrid::click, this,
            [this, form] { guard([this] { m_quoteGrid->gridQuotes_Click(); }, form); });
    connect(grid, &FlexGrid::dblClick, this,
            [this, form] { guard([this] { m_quoteGrid->gridQuotes_DblClick(); }, form); });
    connect(
        grid, &FlexGrid::mouseDown, this,
        [this, form](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row, int col) {
            guard([&] { m_quoteGrid->gridQuotes_MouseDown(button, modifiers, row, col); }, form);
        });

    UpdateCycle *cycle = concern->cycle.get();
    connect(&m_timInterval, &QTimer::timeout, this, [cycle] { cycle->timInterval_Timer(); });
    connect(form->cmdUpdate(), &QAbstractButton::clicked, this,
            [cycle, form] { guard([cycle] { cycle->cmdUpdate_Click(); }, form); });
    connect(this, &StockMain::quoteUpdateRequested, this, [this] { requestQuotes(); });
    connect(m_options.get(), &frmOptions::updateIntervalChanged, this,
            [cycle] { cycle->cboSeconds_Change(); });

    // "Read/Edit Log" of the Options window opens a quote log.
    QuoteLog *quoteLog = &concern->download->quoteLog();
    connect(m_options->cmdEditQuoteLog(), &QAbstractButton::clicked, this, [this, quoteLog] {
        guard([quoteLog] { quoteLog->cmdEditQuoteLog_Click(); }, m_options.get());
    });

    m_quotesConcern = concern;
}

void StockMain::GetQuotes()
{
    auto concern = std::static_pointer_cast<QuotesConcern>(m_quotesConcern);
    if (concern)
        guard([&] { concern->download->GetQuotes(); }, m_form.get());
}

void StockMain::requestQuotes()
{
    auto concern = std::static_pointer_cast<QuotesConcern>(m_quotesConcern);
    if (concern)
        guard([&] { concern->download->requestUpdate(); }, m_form.get());
}

QuoteDownload &StockMain::quoteDownload()
{
    return *std::static_pointer_cast<QuotesConcern>(m_quotesConcern)->download;
}

UpdateCycle &StockMain::updateCycle()
{
    return *std::static_pointer_cast<QuotesConcern>(m_quotesConcern)->cycle;
}
