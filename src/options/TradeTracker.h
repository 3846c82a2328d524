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
// only ever appended to.
//
// Money is reckoned in four-decimal amounts (Money). The fee, cash and value boxes are read
// with or without thousands separators ("1,234.50" is 1234.5); a box that holds no number
// is read as 0 and shows "0" afterwards.
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
    void cmdOpen_Click();
    void cmdDelLog_Click();
    // Prints the log through the print dialog; a cancelled dialog prints nothing.
    void cmdPrint_Click();
    void cmdAbortPrint_Click();
    void txtValue_Change();

    // The full path of this month's log of the current portfolio.
    QString logPath() const;
    static QString logFolder();
    // The file name for a portfolio and a month tag; the portfolio's name is made safe for
    // a file name as the quote log does with a symbol, so the file stays in the log folder.
    static QString logFileName(const QString &portfolio, const QString &monthTag);
    static QString headerLine();
    // The amount in a money box: thousands separators are ignored; no number is 0.
    static Money boxAmount(const QString &text);

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Transaction;
    void connectControls();
    bool prepare(Transaction &t);
    void writeLine(const Transaction &t);
    void apply(const Transaction &t);
    void resetEntry();
    Money readMoneyBox(QLineEdit *box);
    bool askFeeWarning(const char *text);
    QString portfolio() const;

    MainState &m_state;
    frmOptions &m_options;
    SymbolListEditor &m_symbols;
    PortfolioName m_portfolio;
    std::function<QDateTime()> m_now;
    QLocale m_locale;
    QPrinter *m_printing = nullptr;
    bool m_abortRequested = false;
    bool m_recording = false;
};
