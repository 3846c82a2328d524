#include "StockMain.h"

#include "app/TickerFeed.h"
#include "browser/BrowserPanel.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "settings/Catalogues.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

// The browser panel, its tray and the embedded browser are wired here.
void StockMain::wireBrowser()
{
    auto panel = std::make_shared<BrowserPanel>(m_state, *m_form, *m_options, m_timInterval);
    BrowserPanel *p = panel.get();
    frmStockMain *form = m_form.get();

    // A handler of the panel, reported like every handler of the main window. A click that
    // arrives while another handler of the panel waits on its sound is dropped.
    const auto handler = [p, form](auto work) {
        return [p, form, work] { p->runExclusive([&] { guard([&] { work(p); }, form); }); };
    };
    // Back, Forward and Refresh end quietly on a failure.
    const auto quiet = [p](auto work) {
        return [p, work] { p->runExclusive([&] { guardSilently([&] { work(p); }); }); };
    };
    const auto onClick = [this](QAbstractButton *button, auto slot) {
        connect(button, &QAbstractButton::clicked, this, slot);
    };

    onClick(form->cmdHome(), handler([](BrowserPanel *b) { b->cmdHome_Click(); }));
    onClick(form->cmdCharts(), handler([](BrowserPanel *b) { b->cmdCharts_Click(); }));
    onClick(form->cmdNews(), handler([](BrowserPanel *b) { b->cmdNews_Click(); }));
    onClick(form->cmdInquiry(), handler([](BrowserPanel *b) { b->cmdInquiry_Click(); }));
    onClick(form->cmdScreener(), handler([](BrowserPanel *b) { b->cmdScreener_Click(); }));
    onClick(form->cmdBTV(), handler([](BrowserPanel *b) { b->cmdBTV_Click(); }));
    onClick(form->cmdLookup(), handler([](BrowserPanel *b) { b->cmdLookup_Click(); }));
    onClick(form->cmdResearch(), handler([](BrowserPanel *b) { b->cmdResearch_Click(); }));
    onClick(form->cmdIPO(), handler([](BrowserPanel *b) { b->cmdIPO_Click(); }));
    onClick(form->cmdRadio(), handler([](BrowserPanel *b) { b->cmdRadio_Click(); }));
    onClick(form->cmdSubmit(), handler([](BrowserPanel *b) { b->cmdSubmit_Click(); }));
    connect(form->picIslandButton(), &ClickableLabel::clicked, this,
            handler([](BrowserPanel *b) { b->picIslandButton_Click(); }));

    onClick(form->cmdBack(), quiet([](BrowserPanel *b) { b->cmdBack_Click(); }));
    onClick(form->cmdForward(), quiet([](BrowserPanel *b) { b->cmdForward_Click(); }));
    onClick(form->cmdStop(), handler([](BrowserPanel *b) { b->cmdStop_Click(); }));
    onClick(form->cmdRefresh(), quiet([](BrowserPanel *b) { b->cmdRefresh_Click(); }));

    // Only what the user does with a list shows its frame again: filling the lists at
    // start-up or on a portfolio load changes their positions without opening anything.
    for (QComboBox *list : {form->cboChartTime(), form->cboChartFreq(), form->cboStockNews(),
                            form->cboResearchSource(), form->cboIPOList(), form->cboScreener()})
        connect(list, &QComboBox::activated, this,
                handler([list](BrowserPanel *b) { b->reShowList(list); }));
    for (QLineEdit *text : {form->txtSymbolLookup(), form->txtResearch()}) {
        connect(text, &QLineEdit::returnPressed, this,
                handler([](BrowserPanel *b) { b->cmdSubmit_Click(); }));
        connect(text, &QLineEdit::textEdited, this,
                handler([text](BrowserPanel *b) { b->reShowText(text); }));
    }

    // The ticker's double-click shows the index page in the panel and its tray.
    tickerFeed().setNavigate([p](const QString &address) { p->navigate(address); });
    tickerFeed().setToggleBrowserTray([p] { p->ToggleBrowserTray(); });

    // A page still loading is stopped when Vantora ends.
    connect(this, &StockMain::exiting, p, [p] {
        if (p->browserBusy())
            p->stopBrowser();
    });

    m_browserConcern = panel;
}

BrowserPanel &StockMain::browserPanel()
{
    return *std::static_pointer_cast<BrowserPanel>(m_browserConcern);
}

QString StockMain::startPageAddress() const
{
    if (!m_options->model().StartHomePage.value())
        return Catalogues::defaultStartPage();
    const int index = m_options->model().HomePageIndex.value();
    return index >= 0 && index < int(m_state.HomePageURLs.size())
               ? m_state.HomePageURLs[std::size_t(index)]
               : QString();
}

void StockMain::openStartPage(const QString &address)
{
    if (!m_exiting)
        browserPanel().openWhenSeen(address);
}
