#pragma once

class frmStockMain;

// The browser panel's buttons and frames.
namespace BrowserPanel {

// Resets the panel: standard tool tips and colours of the panel buttons, every query
// frame and the Submit button hidden.
void SetButtons(frmStockMain &main);

} // namespace BrowserPanel
