#include "PopupMenu.h"

#include <QAction>
#include <QMenu>

PopupMenu::PopupMenu(QMenu &root, Commands commands, QObject *parent)
    : QObject(parent), m_root(&root), m_commands(std::move(commands))
{
    using Command = std::function<void()> Commands::*;
    // Runs a command when it is set.
    const auto run = [this](Command command) {
        return [this, command] {
            if (m_commands.*command)
                (m_commands.*command)();
        };
    };
    // The query sources of the panel open behind its Inquiry button.
    const auto afterInquiry = [this](Command command) {
        return [this, command] {
            if (m_commands.inquiry)
                m_commands.inquiry();
            if (m_commands.*command)
                (m_commands.*command)();
        };
    };
    const auto optionsTab = [this](int tab) {
        return [this, tab] {
            if (m_commands.options)
                m_commands.options(tab);
        };
    };

    root.setTitle(QStringLiteral("Vantora Options"));
    item(root, "mnuUpdate", "Update &Quotes", run(&Commands::update));
    separator(root, "mnuLine1");

    mnuData = submenu(root, "mnuData", "Stock &Data");
    item(*mnuData, "mnuChart", "C&harts", run(&Commands::charts));
    item(*mnuData, "mnuNews", "&News", run(&Commands::news));
    item(*mnuData, "mnuResearch", "&Research", afterInquiry(&Commands::research));
    item(*mnuData, "mnuScreener", "&Screener", afterInquiry(&Commands::screener));
    item(*mnuData, "mnuLookup", "Symbol &Lookup", afterInquiry(&Commands::lookup));
    item(*mnuData, "mnuIslandBook", "&Island Book Viewer", afterInquiry(&Commands::islandBook));
    item(*mnuData, "mnuIPO", "I&POs", afterInquiry(&Commands::ipo));

    QMenu *tools = submenu(root, "mnuTools", "&Tools");
    item(*tools, "mnuCalculator", "&Calculator", run(&Commands::calculator));
    separator(*tools, "mnuLine8");
    item(*tools, "mnuEditTradeLog", "Read/&Edit Trade Log", run(&Commands::editTradeLog));
    item(*tools, "mnuEditQuoteLog", "Read/Edit Q&uote Log", run(&Commands::editQuoteLog));
    separator(*tools, "mnuLine6");
    item(*tools, "mnuPrintTicker", "&Print Ticker", run(&Commands::printTicker));

    QMenu *media = submenu(root, "mnuMedia", "&Media");
    mnuBTV = item(*media, "mnuBTV", "Bloomberg T&V Live", run(&Commands::btv));
    item(*media, "mnuRadio", "&Bloomberg Radio", run(&Commands::radio));
    separator(root, "mnuLine2");

    QMenu *options = submenu(root, "mnuOptions", "&Options");
    item(*options, "mnuQuotes", "S&ymbols, Alerts, and Sorting", optionsTab(0));
    item(*options, "mnuTrades", "Portfolio Value And Tr&ade Tracking", optionsTab(1));
    item(*options, "mnuSettings", "Settin&gs And Portfolio Selection", optionsTab(2));
    item(*options, "mnuIndices", "&U.S. Indices", optionsTab(3));
    separator(root, "mnuLine4");

    QMenu *view = submenu(root, "mnuView", "&View");
    mnuTickerBrowser = item(*view, "mnuTickerBrowser", "Ticker/Bro&wser", {});
    mnuTickerScroller = item(*view, "mnuTickerScroller", "Tic&ker/Scroller", {});
    viewItem(mnuTickerBrowser, mnuTickerScroller);
    viewItem(mnuTickerScroller, mnuTickerBrowser);
    separator(root, "mnuHelpLine");

    item(root, "mnuHelp", "&Help", run(&Commands::help));
    separator(root, "mnuLine5");
    item(root, "mnuExit", "E&xit", run(&Commands::exit));

    // A download that starts while the menu is open takes it away at once, so no command
    // runs in the middle of the download.
    connect(root.menuAction(), &QAction::changed, this, [this] {
        if (m_root && m_root->isVisible() && !available(*m_root))
            m_root->close();
    });
}

QAction *PopupMenu::item(QMenu &menu, const char *name, const char *caption,
                         std::function<void()> action)
{
    QAction *a = menu.addAction(QString::fromUtf8(caption));
    a->setObjectName(QLatin1String(name));
    if (action)
        connect(a, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return a;
}

QMenu *PopupMenu::submenu(QMenu &menu, const char *name, const char *caption)
{
    QMenu *sub = menu.addMenu(QString::fromUtf8(caption));
    sub->setObjectName(QLatin1String(name));
    return sub;
}

void PopupMenu::separator(QMenu &menu, const char *name)
{
    menu.addSeparator()->setObjectName(QLatin1String(name));
}

void PopupMenu::viewItem(QAction *self, QAction *other)
{
    self->setCheckable(true);
    // Triggering has already flipped the item's own check; the other item's check still
    // tells the mode the menu was opened in.
    connect(self, &QAction::triggered, this, [this, self, other] {
        if (other->isChecked()) {
            if (m_commands.toggleMode)
                m_commands.toggleMode();
        } else {
            self->setChecked(true);
        }
    });
}

bool PopupMenu::available(const QMenu &menu)
{
    const QAction *action = menu.menuAction();
    return menu.isEnabled() && action->isVisible() && action->isEnabled();
}

bool PopupMenu::popup(QMenu *menu, const QPoint &globalPos)
{
    if (!menu || !available(*menu))
        return false;
    menu->popup(globalPos);
    return true;
}
