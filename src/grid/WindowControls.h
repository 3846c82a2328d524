#pragma once

#include <QString>

class FlexGrid;
class QLabel;
class QLineEdit;
class QWidget;

// The controls of the main window that the quote grid, the log, the valuation and the
// downloads read and fill. The window hands them over, so nothing at this level knows the form
// they come from.
struct PanelControls
{
    QWidget *window = nullptr; // parent of the boxes the steps show
    FlexGrid *gridQuotes = nullptr;
    QLabel *lblPortfolioValue = nullptr;
    QLabel *lblPortfolioToday = nullptr;
    QLineEdit *txtPortfolioValue = nullptr;
    QLineEdit *txtPortfolioToday = nullptr;
    QLabel *lblDelayNotice = nullptr;
    QLineEdit *txtUpdateTime = nullptr;
};
