#pragma once

#include <QString>
#include <QStringList>

#include <array>

// Module-wide state of the main window that several concerns share. Settings that have no
// control of their own live here too; the rest live in the Options window's controls.
struct MainState
{
    QString CurrentPortfolio; // names the per-portfolio settings section
    bool PortfolioChanged = false;
    bool SymbolsChanged = true; // next download rebuilds the grid without change colours
    bool BrowserOpen = false;
    QString WindowMode = QStringLiteral("Browser");
    qint16 SelectedRow = 0;    // 0 counts as 1
    bool RealTimeMode = false; // stored under the key AutoRemove
    QString ActiveButton;
    bool RedialPending = false;
    bool TradeLogging = false;
    bool ClickSortAscending = false;

    QString ReplyText;
    // The quote download's tables: rows 1 to MaxQuoteRows by symbol-list row, columns 0 to
    // 12 by grid column (row 0 and column 13 stay empty).
    static constexpr int MaxQuoteRows = 30;
    using QuoteTable = std::array<std::array<QString, 14>, MaxQuoteRows + 1>;
    QuoteTable CurrentQuotes;  // fields of the latest download
    QuoteTable PreviousQuotes; // fields of the download before
    QString CurrentLine;       // cleaned answer line of the row being filled, tab-separated
    QString RowSymbol;         // symbol of the row being filled
    bool QuoteChanged = false; // its last price differs from the previous download
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
