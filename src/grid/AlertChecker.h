#pragma once

#include "WindowControls.h"

#include <QString>

class FlexGrid;
class QWidget;

// The high and low price alerts: after each download every row's last price is compared
// with the alert prices of the symbol it shows, and a hit is signalled by the colour of the
// last-price cell, a message box per row and a sound per kind, as the Options window asks.
class AlertChecker
{
public:
    // boxParent: the window the alert boxes belong to.
    AlertChecker(const OptionControls &options, FlexGrid &grid, QWidget *boxParent);

    // Checks every data row of the quote grid. A row alerts again at every download while
    // its price stays at or beyond the limit.
    void CheckAlerts();

    // Set by the last test of CheckAlerts.
    bool LowAlertHit = false;
    bool HighAlertHit = false;

    // The texts of the alert boxes.
    static QString lowAlertText(const QString &symbol, const QString &lastPrice);
    static QString highAlertText(const QString &symbol, const QString &lastPrice);

private:
    // The row of gridSymbols that holds the symbol shown in quote-grid row r (the rows of the
    // two grids part when the quote grid is sorted); -1 when none does.
    int symbolRowFor(int r) const;
    void showAlert(const QString &text);

    OptionControls m_options;
    FlexGrid &m_grid;
    QWidget *m_boxParent;
};
