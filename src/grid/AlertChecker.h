#pragma once

#include "OptionsView.h"

#include <QSet>
#include <QString>

class FlexGrid;
class QWidget;

// The high and low price alerts: after each download every row's last price is compared
// with the alert prices of the symbol it shows, and a hit is signalled by the colour of the
// last-price cell, a message box per row and a sound per kind, as the Options window asks;
// with "Desktop Notifications" ticked, also a desktop notification per symbol and kind.
class AlertChecker
{
public:
    // boxParent: the window the alert boxes belong to.
    AlertChecker(const OptionsView &options, FlexGrid &grid, QWidget *boxParent);

    // Checks every data row of the quote grid. A row alerts again at every download while
    // its price stays at or beyond the limit.
    void CheckAlerts();

    // Set by the last test of CheckAlerts.
    bool LowAlertHit = false;
    bool HighAlertHit = false;

    // The texts of the alert boxes.
    static QString lowAlertText(const QString &symbol, const QString &lastPrice);
    static QString highAlertText(const QString &symbol, const QString &lastPrice);
    // The desktop notification of an alert: "MSFT at or above $50.00" (the alert price),
    // "Last price $50.25 at 4:01pm".
    static QString notificationSummary(const QString &symbol, bool high, double limit);
    static QString notificationBody(const QString &lastPrice, const QString &time);

private:
    // The row of gridSymbols that holds the symbol shown in quote-grid row r (the rows of the
    // two grids part when the quote grid is sorted); -1 when none does.
    int symbolRowFor(int r) const;
    void showAlert(const QString &text);
    void notifyAlert(QSet<QString> &sent, int r, bool high, double limit);

    OptionsView m_options;
    FlexGrid &m_grid;
    QWidget *m_boxParent;
};
