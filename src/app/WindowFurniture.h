#pragma once

#include <QObject>
#include <QPointer>

class frmStockMain;
class frmOptions;
class QuoteGrid;
class QMenu;
class QWidget;
struct MainState;

// The main window's own furniture, standing in for a title bar it does not have: dragging
// by its background, bezels and status texts; the pop-up menu on a right-click or from the
// keyboard; hiding to the notification area and coming back; the calculator picture; the
// two buttons that move the selected symbol; and F1 for the help page, in the main and the
// Options window.
class WindowFurniture : public QObject
{
    Q_OBJECT
public:
    WindowFurniture(MainState &state, frmStockMain &main, frmOptions &options,
                    QuoteGrid &quoteGrid);

    // The menu a right-click, the context-menu key or Shift+F10 opens.
    void setPopupMenu(QMenu *menu) { m_menu = menu; }

    // The icon's tip text, at most 64 characters.
    static QString trayTip();

    // Hides the window to a notification-area icon; where the desktop has none, the window
    // is minimised instead, so it stays reachable from the task bar.
    void picControlBox_Click();
    // A click or double-click on the icon: the window comes back and the icon goes.
    void restoreFromTray();
    // Shows the window in front of the others, out of the notification area if it is
    // there (another start of the program asked for it).
    void bringToFront();
    void picCalc_DblClick();
    void picMoveUp_MouseUp();
    void picMoveDown_MouseUp();
    // Opens the menu at the quote grid's current row (the keyboard's way to the menu).
    void popupAtGrid();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveSelectedRow(int step);

    MainState &m_state;
    frmStockMain &m_main;
    frmOptions &m_options;
    QuoteGrid &m_quoteGrid;
    QPointer<QMenu> m_menu;
    QList<QWidget *> m_dragSurfaces;
    bool m_moveStarted = false;
};
