#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QPoint;

// The main window's pop-up menu, the window's only menu: its item tree is built into the
// menu object "MnuVantora" that the main window owns, and each item forwards to a command
// of the main or the Options window. Items carry their names as object names ("mnuUpdate",
// "mnuData" ...); submenus are QMenus of those names.
class PopupMenu : public QObject
{
    Q_OBJECT
public:
    // What the items run; an unset command makes its item do nothing.
    struct Commands
    {
        std::function<void()> update;
        std::function<void()> charts;
        std::function<void()> news;
        std::function<void()> inquiry;
        std::function<void()> research;
        std::function<void()> screener;
        std::function<void()> lookup;
        std::function<void()> islandBook;
        std::function<void()> ipo;
        std::function<void()> calculator;
        std::function<void()> editTradeLog;
        std::function<void()> editQuoteLog;
        std::function<void()> printTicker;
        std::function<void()> btv;
        std::function<void()> radio;
        // Selects a tab of the Options window and opens the window.
        std::function<void(int tab)> options;
        std::function<void()> toggleMode;
        std::function<void()> help;
        std::function<void()> exit;
    };

    // Fills root (which must be empty) with the whole tree.
    PopupMenu(QMenu &root, Commands commands, QObject *parent = nullptr);

    QMenu &root() const { return *m_root; }

    // Level-1 items and submenus that other concerns keep in step.
    QMenu *mnuData = nullptr;
    QAction *mnuBTV = nullptr;
    QAction *mnuTickerBrowser = nullptr;
    QAction *mnuTickerScroller = nullptr;

    // Whether the menu may open: a quote download hides it and an index download disables
    // it; meanwhile a right-click shows nothing.
    static bool available(const QMenu &menu);
    // Opens a menu at a point of the screen when it is available; true when it opened.
    static bool popup(QMenu *menu, const QPoint &globalPos);

private:
    QAction *item(QMenu &menu, const char *name, const char *caption, std::function<void()> action);
    QMenu *submenu(QMenu &menu, const char *name, const char *caption);
    void separator(QMenu &menu, const char *name);
    // A view item: runs the mode switch when the other view item is checked, else keeps
    // its own check as it was.
    void viewItem(QAction *self, QAction *other);

    QPointer<QMenu> m_root;
    Commands m_commands;
};
