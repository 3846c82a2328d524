#include "StockMain.h"

#include "UpdateCycle.h"
#include "app/WindowFurniture.h"
#include "app/WindowModes.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "ui_frmOptions.h"
#include "ui_frmStockMain.h"
#include "window/HelpPage.h"
#include "window/LinkButton.h"
#include "window/PopupMenu.h"
#include "window/frmStockMain.h"

#include <QMenu>
#include <QToolButton>

namespace {

// The objects of the window concern, kept by the main window for its whole life.
struct WindowConcern
{
    std::unique_ptr<WindowFurniture> furniture;
    std::unique_ptr<PopupMenu> menu;
};

} // namespace

// The window's modes, widths and furniture, and the pop-up menu, are wired here.
void StockMain::wireWindow()
{
    auto concern = std::make_shared<WindowConcern>();
    frmStockMain *form = m_form.get();
    auto *ui = form->ui;
    concern->furniture =
        std::make_unique<WindowFurniture>(m_state, *form, *m_options, *m_quoteGrid);
    WindowFurniture *furniture = concern->furniture.get();
    WindowModes *modes = m_windowModes.get();

    // A handler of the main window, run with its error report.
    const auto handler = [form](auto &&work) { return [form, work] { guard(work, form); }; };
    // The panel's and the Options window's commands run through their buttons, so the menu
    // does whatever the button does, and nothing while the button has no handler.
    const auto press = [](QAbstractButton *button) { return [button] { button->click(); }; };

    PopupMenu::Commands commands;
    // Errors of an update asked for from the menu are ignored.
    commands.update = [this] { guardSilently([this] { updateCycle().cmdUpdate_Click(); }); };
    commands.charts = press(ui->cmdCharts);
    commands.news = press(ui->cmdNews);
    commands.inquiry = press(ui->cmdInquiry);
    commands.research = press(ui->cmdResearch);
    commands.screener = press(ui->cmdScreener);
    commands.lookup = press(ui->cmdLookup);
    commands.islandBook = [ui] { Q_EMIT ui->picIslandButton->clicked(); };
    commands.ipo = press(ui->cmdIPO);
    commands.calculator = handler([furniture] { furniture->picCalc_DblClick(); });
    commands.editTradeLog = press(m_options->ui->cmdOpen);
    commands.editQuoteLog = press(m_options->ui->cmdEditQuoteLog);
    commands.printTicker = press(ui->cmdPrintTicker);
    commands.btv = press(ui->cmdBTV);
    commands.radio = press(ui->cmdRadio);
    commands.options = [this, ui](int tab) {
        m_options->ui->SSTab1->setCurrentIndex(tab);
        ui->cmdOptions->click();
    };
    commands.toggleMode = handler([modes] { modes->picTickerSize_Click(); });
    commands.help = handler([] { HelpPage::open(); });
    commands.exit = handler([this] { cmdExit_Click(); });

    // The menu object itself belongs to the main window; the quote concern creates it.
    if (auto *root = form->findChild<QMenu *>(QStringLiteral("MnuVantora"))) {
        concern->menu = std::make_unique<PopupMenu>(*root, std::move(commands));
        modes->setMenu(concern->menu.get());
        furniture->setPopupMenu(root);
    }

    connect(ui->picTickerSize, &ClickableLabel::clicked, this,
            handler([modes] { modes->picTickerSize_Click(); }));
    connect(ui->picMaxWide, &ClickableLabel::clicked, this,
            handler([modes] { modes->picMaxWide_Click(); }));
    connect(ui->picControlBox, &ClickableLabel::clicked, this,
            handler([furniture] { furniture->picControlBox_Click(); }));
    connect(ui->picCalc, &ClickableLabel::doubleClicked, this,
            handler([furniture] { furniture->picCalc_DblClick(); }));
    connect(ui->picCalc, &ClickableLabel::keyPressed, this, [furniture, form](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            guard([furniture] { furniture->picCalc_DblClick(); }, form);
    });
    connect(ui->picMoveUp, &ClickableLabel::mouseUp, this,
            [furniture, form](Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    guard([furniture] { furniture->picMoveUp_MouseUp(); }, form);
            });
    connect(ui->picMoveDown, &ClickableLabel::mouseUp, this,
            [furniture, form](Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    guard([furniture] { furniture->picMoveDown_MouseUp(); }, form);
            });

    m_windowConcern = concern;
}

void StockMain::bringToFront()
{
    auto concern = std::static_pointer_cast<WindowConcern>(m_windowConcern);
    // Before the agreement is accepted the window is not shown: the agreement is in front.
    if (concern && m_loaded && !m_exiting)
        concern->furniture->bringToFront();
}
