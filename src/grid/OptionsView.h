#pragma once

#include <functional>

class FlexGrid;
class OptionsModel;
class QWidget;

// What the quote grid, the alerts, the log, the valuation and the downloads use of the
// Options window: its settings, the loaded portfolio's symbol list, and the window itself
// (open or not, parent of its dialogs). The window hands it over, so nothing at this level
// knows the form.
struct OptionsView
{
    OptionsModel *model = nullptr;
    FlexGrid *gridSymbols = nullptr;
    QWidget *window = nullptr;
    // The five colour buttons are available while the default colours are not used.
    std::function<void(bool)> setColorButtonsEnabled;
};
