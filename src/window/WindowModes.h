#pragma once

class QPixmap;
class QWidget;
struct MainState;
class frmStockMain;

// The main window's two layouts: browser mode (a low wide strip with the browser tray)
// and ticker mode (a taller window with the whole quote grid and no browser).
class WindowModes
{
public:
    WindowModes(MainState &state, frmStockMain &main);

    // Layout sizes in twips.
    static constexpr int CollapsedHeight = 2095;
    static constexpr int TickerHeight = 8010;
    static constexpr int NarrowWidth = 12045;
    static constexpr int TickerWidth = 10050;
    static constexpr int GridHeightBrowser = 1235;
    static constexpr int GridHeightTicker = 7060;
    static constexpr int PanelTopBrowser = 1500;
    static constexpr int PanelTopTicker = 7300;

    // Switches the mode and saves it under the portfolio's key Mode. setButtons resets
    // the browser panel.
    void picTickerSize_Click();

    // The window's background picture (the skin of the current mode).
    static void setBackgroundPicture(QWidget &window, const QPixmap &picture);

private:
    void setBrowserMode();
    void setTickerMode();

    MainState &m_state;
    frmStockMain &m_main;
};
