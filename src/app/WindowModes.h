#pragma once

#include "window/frmStockMain.h"

#include <QObject>

#include <functional>

class QWidget;
struct MainState;
class PopupMenu;

// The main window's two layouts (browser mode: a low wide strip with the browser tray;
// ticker mode: a taller window with the whole quote grid and no browser), its two widths
// (narrow, and the whole width of the screen) and the browser's place when it is resized.
class WindowModes : public QObject
{
    Q_OBJECT
public:
    WindowModes(MainState &state, frmStockMain &main);

    // Layout sizes in twips.
    static constexpr int CollapsedHeight = frmStockMain::CollapsedHeight;
    static constexpr int TickerHeight = 8010;
    static constexpr int NarrowWidth = 12045;
    static constexpr int TickerWidth = 10050;
    static constexpr int GridHeightBrowser = 1235;
    static constexpr int GridHeightTicker = 7060;
    static constexpr int PanelTopBrowser = 1500;
    static constexpr int PanelTopTicker = 7300;
    static constexpr int WidthStep = 100;
    static constexpr int BrowserHeightMargin = 2800;
    static constexpr int BrowserHeightFrom = 3000; // window heights above it size the browser
    static constexpr int BezelRightTop = 1390;

    // The menu items that follow the mode (none until the menu exists).
    void setMenu(PopupMenu *menu) { m_menu = menu; }

    // Switches the mode and saves it under the portfolio's key Mode. A window as wide as
    // the screen is first brought back to the narrow width.
    void picTickerSize_Click();
    // Widens the window to the screen's width, or narrows it back, in steps of 100 twips.
    void picMaxWide_Click();
    // The window was resized: the right bezel and the browser follow.
    void Form_Resize();

    // The width of the window's screen in twips (tests replace it).
    void setScreenWidthTwips(std::function<double()> width) { m_screenWidth = std::move(width); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setBrowserMode();
    void setTickerMode();
    double screenWidthTwips() const;
    // One width of the window, with the browser and the right-hand furniture placed for
    // it (offsets in twips from the window's right edge).
    void setWidth(double widthTwips, double browserMargin, double bezelOffset,
                  double controlBoxMargin, double borderMargin);

    MainState &m_state;
    frmStockMain &m_main;
    PopupMenu *m_menu = nullptr;
    std::function<double()> m_screenWidth;
    double m_tickerWidth = 0; // Scroller1Frame's designed width, in twips
};
