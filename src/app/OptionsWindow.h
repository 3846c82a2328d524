#pragma once

#include "settings/OptionsModel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class StockMain;
class Portfolios;
class SymbolListEditor;
class TradeTracker;
class frmOptions;

// The Options window's life with the main window: opening it (update timer stopped), OK
// and Cancel, the tab-change focus and tab-order rules, dragging it by its background and
// frames, and the portfolio commands of its "Select Portfolio" frame (load, create,
// remove) together with OK's two portfolio steps.
class OptionsWindow : public QObject
{
    Q_OBJECT
public:
    OptionsWindow(StockMain &main, Portfolios &portfolios);
    ~OptionsWindow() override;

    SymbolListEditor &symbols() { return *m_symbols; }
    TradeTracker &trades() { return *m_trades; }

    // The main window's Options command.
    void open();
    void cmdOK_Click();
    void cmdCancel_Click();
    // The selected tab changed; the second form does the same without looking whether the
    // tab's first control is visible.
    void SSTab1_Click(bool onlyWhenVisible = true);

    void cmdLoadPortfolio_Click();
    void cmdAddPortfolio_Click();
    void cmdRemovePortfolio_Click();
    // The work of the create dialog's OK: false (dialog stays open) when the name is
    // refused, with a message unless the name is empty.
    bool addPortfolio(const QString &name);

    // Paints the five colour buttons with the colours in force.
    void paintColorButtons();

    // The five colour buttons: the colour dialog, then the grid in the chosen colour.
    void cmdEvenRowColor_Click();
    void cmdOddRowColor_Click();
    void cmdGraphForeColor_Click();
    void cmdFixedForeColor_Click();
    void cmdHeaderBackColor_Click();
    static constexpr const char *ColorDialogTitle = "Vantora Ticker Color Selection";

    // Opening the home-page list makes it the browser panel's active control.
    void cboHomePage_DropDown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void portfolioStepsOfOK();
    // Loads the entry picked in the list (nothing unless one was picked); with `saveLoaded`
    // the loaded portfolio is saved first.
    void loadPickedPortfolio(bool saveLoaded);
    void formatAlertColumns();
    void restoreQuoteGridSelection(bool atLeastOneDataRow);
    void installDragHandlers();
    void chooseColor(ColorOption &color);
    void refreshQuoteGrid();
    void realTimeModeChanged();

    StockMain &m_main;
    Portfolios &m_portfolios;
    frmOptions &m_options;
    std::unique_ptr<SymbolListEditor> m_symbols;
    std::unique_ptr<TradeTracker> m_trades;
};
