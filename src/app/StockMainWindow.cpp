#include "StockMain.h"

#include "UpdateCycle.h"
#include "app/WindowFurniture.h"
#include "app/WindowModes.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "window/ClickableLabel.h"
#include "window/HelpPage.h"
#include "window/LinkButton.h"
#include "window/PopupMenu.h"
#include "window/frmStockMain.h"

#include <QAbstractButton>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
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
    commands.charts = press(form->cmdCharts());
    commands.news = press(form->cmdNews());
    commands.inquiry = press(form->cmdInquiry());
    commands.research = press(form->cmdResearch());
    commands.screener = press(form->cmdScreener());
    commands.lookup = press(form->cmdLookup());
    commands.islandBook = [form] { Q_EMIT form->picIslandButton()->clicked(); };
    commands.ipo = press(form->cmdIPO());
    commands.calculator = handler([furniture] { furniture->picCalc_DblClick(); });
    commands.editTradeLog = press(m_options->cmdOpen());
    commands.editQuoteLog = press(m_options->cmdEditQuoteLog());
    commands.printTicker = press(form->cmdPrintTicker());
    commands.btv = press(form->cmdBTV());
    commands.radio = press(form->cmdRadio());
    commands.options = [this, form](int tab) {
        m_options->SSTab1()->setCurrentIndex(tab);
        form->cmdOptions()->click();
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

    connect(form->picTickerSize(), &ClickableLabel::clicked, this,
            handler([modes] { modes->picTickerSize_Click(); }));
    connect(form->picMaxWide(), &ClickableLabel::clicked, this,
            handler([modes] { modes->picMaxWide_Click(); }));
    connect(form->picControlBox(), &ClickableLabel::clicked, this,
            handler([furniture] { furniture->picControlBox_Click(); }));
    connect(form->picCalc(), &ClickableLabel::doubleClicked, this,
            handler([furniture] { furniture->picCalc_DblClick(); }));
    connect(form->picCalc(), &ClickableLabel::keyPressed, this, [furniture, form](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            guard([furniture] { furniture->picCalc_DblClick(); }, form);
    });
    connect(form->picMoveUp(), &ClickableLabel::mouseUp, this,
            [furniture, form](Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    guard([furniture] { furniture->picMoveUp_MouseUp(); }, form);
            });
    connect(form->picMoveDown(), &ClickableLabel::mouseUp, this,
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
