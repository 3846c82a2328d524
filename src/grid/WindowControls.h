#pragma once

#include <QString>

#include <array>
#include <functional>

class FlexGrid;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QWidget;

// The controls of the Options window that the quote grid, the alerts, the log, the valuation
// and the downloads read and fill. The window hands them over, so nothing at this level knows
// the form they come from. (The main window's part is the QuotePanel interface.)
struct OptionControls
{
    QWidget *window = nullptr;       // the window itself: open or not, parent of its dialogs
    FlexGrid *gridSymbols = nullptr; // the loaded portfolio's symbol list

    // Colours and sorting.
    QCheckBox *chkUseDefaultColors = nullptr;
    QCheckBox *chkShowGridLines = nullptr;
    QCheckBox *chkEnableAutoSort = nullptr;
    QCheckBox *chkEnableClickSort = nullptr;
    QComboBox *cboSort = nullptr;
    std::array<QRadioButton *, 2> optSortOrder{}; // (0) "Ascending", (1) "Descending"
    std::function<void(bool)> setColorButtonsEnabled;

    // Alerts.
    QCheckBox *chkEnableLowAlert = nullptr;
    QCheckBox *chkEnableHighAlert = nullptr;
    QRadioButton *optAlertSound = nullptr;
    QRadioButton *optAlertPopUp = nullptr;
    QCheckBox *chkAlertNotify = nullptr; // each alert also as a desktop notification

    // The quote log and the account summary.
    QCheckBox *chkLogging = nullptr;
    QCheckBox *chkSeparateLogFiles = nullptr;
    QCheckBox *chkShow = nullptr;
    QLineEdit *txtValue = nullptr;
    QLineEdit *txtGainLoss = nullptr;

    // The downloads: the proxy choice and the ticked market indices.
    QCheckBox *chkUseProxy = nullptr;
    std::function<int()> indexCount;
    std::function<bool(int)> indexTicked;
    std::function<QString(int)> indexSymbol;
};
