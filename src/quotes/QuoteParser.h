#pragma once

#include <QString>

#include <array>

// Taking the quote service's comma-separated answer apart, one line per symbol.
//
// "Trimming" here removes spaces only: a tab, CR or LF is part of the text, so a line
// whose trailing fields are empty still loses exactly six of them.
namespace QuoteParser {

inline constexpr int ColumnCount = 13;
using QuoteColumns = std::array<QString, ColumnCount>;

// Removes spaces (and nothing else) from both ends.
QString trimSpaces(const QString &text);

// Takes the next line off the front of replyText and returns it cleaned: quotes removed,
// fields separated by tabs, "<b>", "</b>", "<i>", "</i>" and "&nbsp;" removed, " - " split
// into two fields, the six trailing fields dropped. replyText loses the quotes and the
// line up to and including its CR; the LF that followed stays in front and is dropped with
// the next line. Without any CR LF the line is "" and replyText keeps its text.
QString nextQuoteLine(QString &replyText);

// Takes line after line as nextQuoteLine does, reading the text once instead of once per
// line: the quotes are removed at the start, the lines are taken from a position, and
// replyText loses what was taken when the reader goes away (or at finish()). Meanwhile
// nothing else may change replyText.
class LineReader
{
public:
    explicit LineReader(QString &replyText);
    ~LineReader() { finish(); }
    LineReader(const LineReader &) = delete;
    LineReader &operator=(const LineReader &) = delete;

    QString next();
    void finish();

private:
    QString &m_text;
    qsizetype m_pos = 0;
};

// True when an answer can be quote text: not a web page (a proxy's or a consent page
// served with status 200: its content type names HTML, or it begins with "<") and no
// control characters but tab, CR and LF (binary data).
bool isQuoteText(const QString &reply, const QString &contentType = QString());

// Splits a cleaned line into the thirteen grid columns, in order; a missing field is "".
QuoteColumns splitColumns(const QString &cleanedLine);

} // namespace QuoteParser
