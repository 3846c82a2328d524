#pragma once

#include "OptionsView.h"
#include "QuotePanel.h"

#include "platform/WriteFailureNotice.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <functional>

struct MainState;

// The quote log: one line appended for each logged symbol whose last price changed, in a
// text file per month (or per symbol and month) in the folder "Log Files" of the program's
// folder, and the Options button that opens a log in the desktop's text editor.
//
// Files are written in Latin-1, one byte per character (a character outside it is written
// as "?"), lines end in CR LF, fields are separated by one tab, and a file is only ever
// appended to.
class QuoteLog
{
public:
    QuoteLog(MainState &state, QuotePanel &panel, const OptionsView &options);

    // The date and locale the log names and dates its lines with (today and the system's
    // locale unless a test sets others).
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // One log write for the row being filled (CurrentLine, RowSymbol): a file that does not
    // exist yet gets its heading line and nothing else; an existing one gets the data line.
    // A log that cannot be written is reported once (WriteFailureNotice), the download goes
    // on, and the next logged quote tries again.
    void LogQuote();

    // Opens a log: the file-open dialog in the log folder, then the text editor on the
    // chosen file. Cancel does nothing.
    void cmdEditQuoteLog_Click();

    // The folder of the logs: "Log Files" in the program's folder.
    static QString logFolder();
    // The name of the log file for a month tag, with or without a symbol. A symbol comes
    // from the quote server: every character that could lead out of the folder or that
    // the file system would not take is replaced by "_", and so is every "..".
    static QString logFileName(const QString &monthTag, const QString &symbol, bool separate);
    static QString safeSymbol(const QString &symbol);

    QString headingLine() const;
    QString dataLine() const;

    static constexpr const char *OpenTitle = "Open Stock Quote Log File";
    static constexpr const char *OpenFilter = "Log Files (*.txt);;All Files (*.*)";

private:
    void writeLog();
    void failed(const QString &path, const QString &reason);

    MainState &m_state;
    QuotePanel &m_panel;
    OptionsView m_options;
    std::function<QDate()> m_today;
    QLocale m_locale;
    WriteFailureNotice m_failure;
};
