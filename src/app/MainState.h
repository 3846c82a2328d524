#pragma once

#include <QString>
#include <QStringList>

#include <array>

// Module-wide state of the main window that several concerns share. Settings that have no
// control of their own live here too; the rest live in the Options window's controls.
struct MainState
{
    QString CurrentPortfolio;   // names the per-portfolio settings section
    bool PortfolioChanged = false;
    bool SymbolsChanged = true; // next download rebuilds the grid without change colours
    bool BrowserOpen = false;
    QString WindowMode = QStringLiteral("Browser");
    qint16 SelectedRow = 0;     // 0 counts as 1
    bool RealTimeMode = false;  // stored under the key AutoRemove
    QString ActiveButton;
    bool RedialPending = false;
    bool TradeLogging = false;
    bool ClickSortAscending = false;

    QString ReplyText;
    QStringList TickerItems;
    int TickerIndex = 0;

    qint16 ChartTime = 0;
    qint16 ChartFreq = 0;
    qint16 StockNews = 0;

    QString IndicesURL;
    QString RadioURL;
    QString BTVURL;
    QString StockURL;
    QString MarketURL;
    QString HomePage;

    // Colours in blue-green-red order, as stored.
    qint32 EvenRowColor = 0x004000;
    qint32 OddRowColor = 0x606000;
    qint32 TextColor = 0xFFFFFF;
    qint32 HeaderColor = 0xAAAAAA;
    qint32 HeaderTextColor = 0x0;
    qint32 GridTextColor = 0xFFFFFF; // the grid's text colour as last applied

    std::array<QString, 71> HomePageURLs;
};
