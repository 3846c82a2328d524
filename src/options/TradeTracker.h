#pragma once

#include "common/Money.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>

#include <functional>

struct MainState;
class frmOptions;
class SymbolListEditor;
class QLineEdit;
class QPrinter;

// The "Transaction Tracker" of the Options window's Trades tab: purchases, sales, credits
// and debits recorded against the portfolio's available cash and stock value, adjusting the
// holdings in the symbol list, each appended as one line to the portfolio's trade log of
// the month; and the buttons that show, open, print and delete that log.
//
// The trade log is "<portfolio> <Mmmyyyy> TradeLog.txt" in the folder "Log Files" of the
// program's folder: Latin-1 text (a character outside it is written as "?"), lines ending
// in CR LF, tab-separated fields, a header line written once when the file is made, and
// only ever appended to. A portfolio whose name maps to the same file name as a portfolio
// listed before it keeps no trade log, so that no portfolio ever reads, extends or deletes
// another one's log.
//
// Money is reckoned in four-decimal amounts (Money). The fee, cash and value boxes are read
// with or without thousands separators ("1,234.50" is 1234.5); an empty box counts as 0,
// and a box that holds something else refuses the transaction with a message naming the
// box. The quantity and the price are the numbers their boxes start with ("12.50 USD" is
// 12.5). After a transaction the cash and the stock value show "######0.00" and the fee box
// shows the portfolio's fee again, "###0.00".
class TradeTracker : public QObject
{
    Q_OBJECT
public:
    // Names the log after the portfolio whose account the boxes show.
    using PortfolioName = std::function<QString()>;

    TradeTracker(MainState &state, frmOptions &options, SymbolListEditor &symbols,
                 PortfolioName portfolio);
    ~TradeTracker() override;

    // The moment the log is named and dated by (now unless a test sets another), and the
    // locale of the month in its name.
    void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // The description written into the log's first column: "Buy", "Sell", "Credit" or
    // "Debit"; it keeps its value between transactions.
    QString TradeDescription;

    void cboBuySell_Click();
    void cmdLogTransaction_Click();
    void ReadTradeLog();
    // Opens this month's log in a text editor, making it (with its header) first when the
    // month has none yet; says where the file is when no editor can be started.
    void cmdOpen_Click();
    void cmdDelLog_Click();
    // Prints the log through the print dialog as a table, one transaction per line; a
    // cancelled dialog prints nothing, a print that cannot start says so.
    void cmdPrint_Click();
    void cmdAbortPrint_Click();
    void txtValue_Change();

    // The full path of this month's log of the current portfolio.
    QString logPath() const;
    static QString logFolder();
    // The file name for a portfolio and a month tag; the portfolio's name is made safe for
    // a file name as the quote log does with a symbol, so the file stays in the log folder.
    static QString logFileName(const QString &portfolio, const QString &monthTag);
    // What decides a portfolio's log file: two portfolios with the same key would share it
    // (letter case counts only where file names tell it apart).
    static QString logNameKey(const QString &portfolio);
    // The first of `listed` before `portfolio` (the whole list when it is not listed) whose
    // log would be the same file; empty when the log is the portfolio's own.
    static QString logClaimedBy(const QStringList &listed, const QString &portfolio);
    static QString headerLine();

    // Message texts.
    static constexpr const char *FundsTitle = "Vantora Transaction Error - Insufficient Funds";
    static constexpr const char *RefusalText =
        "You don't have enough available cash to make this transaction!";
    static constexpr const char *FeeWarningText =
        "You won't have enough available cash for another broker's fee!";
    static constexpr const char *DebitFeeWarningText =
        "You won't have enough available cash for another broker's fee.";
    static constexpr const char *AnywayText = "Make this trade anyway?";
    static constexpr const char *DeleteTitle = "Delete Transaction Log File";
    static constexpr const char *DeleteText = "Permanently delete this log file - are you sure?";
    static constexpr const char *EntryTitle = "Vantora Transaction Error";
    static constexpr const char *LogTitle = "Vantora Trade Log";
    static constexpr const char *PrintTitle = "Vantora Print Error";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Transaction;
    void connectControls();
    bool checkEntry(Transaction &t);
    bool prepare(Transaction &t);
    void writeLine(const Transaction &t);
    void apply(const Transaction &t);
    void resetEntry();
    QString ownLogPath(bool tell);
    void ensureLogFile(const QString &path);
    bool askFeeWarning(const char *text);
    void tell(const QString &title, const QString &text);
    QString portfolio() const;
    // Puts a fee into the fee box that is not the user's (the portfolio's fee again, a
    // credit's none).
    void fillFee(const QString &text);
    void showStandingFee();

    MainState &m_state;
    frmOptions &m_options;
    SymbolListEditor &m_symbols;
    PortfolioName m_portfolio;
    std::function<QDateTime()> m_now;
    QLocale m_locale;
    QPrinter *m_printing = nullptr;
    bool m_abortRequested = false;
    bool m_recording = false;
    bool m_fillingFee = false;
};
