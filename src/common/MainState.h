#pragma once

#include <QString>
#include <QStringList>

#include <array>

// Module-wide state of the main window that several concerns share. The Options window's
// settings and the positions of the main window's source lists live in the OptionsModel.
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

    // In blue-green-red order.
    qint32 GridTextColor = 0xFFFFFF; // the grid's text colour as last applied

    std::array<QString, 71> HomePageURLs;
};
