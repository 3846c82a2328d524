#include "QuoteParser.h"

namespace QuoteParser {

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString nextQuoteLine(QString &replyText)
{
    replyText.remove(u'"');
    replyText = trimSpaces(replyText);

    QString raw;
    const qsizetype crlf = replyText.indexOf(QLatin1String("\r\n"));
    if (crlf >= 0) {
        raw = replyText.left(crlf + 1); // ends with the CR
        replyText.remove(0, crlf + 1);  // now starts with the LF
    }
    raw.replace(u',', u'\t');

    QString line = trimSpaces(raw.remove(u'\n'));
    line = trimSpaces(line.remove(u'\r'));
    for (const char *markup : {"<b>", "</b>", "<i>", "</i>", "&nbsp;"})
        line = trimSpaces(line.remove(QLatin1String(markup)));
    line = trimSpaces(line.replace(QLatin1String(" - "), QLatin1String("\t")));

    // The service sends six more fields after the company name.
    for (int i = 0; i < 6; ++i) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0)
            line.truncate(tab);
    }
    return line;
}

QuoteColumns splitColumns(const QString &cleanedLine)
{
    QuoteColumns columns;
    const QString work = cleanedLine + u'\t';
    qsizetype from = 0;
    for (int c = 0; c < ColumnCount; ++c) {
        const qsizetype tab = work.indexOf(u'\t', from);
        if (tab < 0)
            break; // the rest stay ""
        columns[c] = work.mid(from, tab - from);
        from = tab + 1;
    }
    return columns;
}

} // namespace QuoteParser
