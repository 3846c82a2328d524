#pragma once

// The way the quote download and the ticker take the feed's answers apart, written out
// here from their rules so that the feed's answers are checked against what the program
// will do with them, not against the feed's own formatting code.

#include <QString>
#include <QStringList>

namespace AnswerCleaning {

// Removes spaces (only spaces) from both ends.
inline QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

inline QString trimLeadingSpaces(const QString &text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text.at(begin) == u' ')
        ++begin;
    return text.mid(begin);
}

// Takes the next line off the front of a stock answer and returns it cleaned: fields
// separated by tabs, the six trailing fields dropped.
inline QString nextQuoteLine(QString &reply)
{
    reply.remove(u'"');
    reply = trimSpaces(reply);
    QString raw;
    const qsizetype crlf = reply.indexOf(QLatin1String("\r\n"));
    if (crlf >= 0) {
        raw = reply.left(crlf + 1); // up to and including the CR
        reply.remove(0, crlf + 1);  // the LF stays in front
    }
    raw.replace(u',', u'\t');
    QString line = trimSpaces(raw.remove(u'\n'));
    line = trimSpaces(line.remove(u'\r'));
    for (const char *tag : {"<b>", "</b>", "<i>", "</i>", "&nbsp;"})
        line = trimSpaces(line.remove(QLatin1String(tag)));
    line = trimSpaces(line.replace(QLatin1String(" - "), QLatin1String("\t")));
    for (int i = 0; i < 6; ++i) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0)
            line.truncate(tab);
    }
    return line;
}

// The thirteen grid columns of one cleaned line; a missing field is "".
inline QStringList quoteColumns(const QString &cleanedLine)
{
    QString work = cleanedLine + u'\t';
    QStringList columns;
    for (int c = 0; c <= 12; ++c) {
        const qsizetype tab = work.indexOf(u'\t');
        if (tab < 0) {
            columns.append(QString());
            continue;
        }
        columns.append(work.left(tab));
        work.remove(0, tab + 1);
    }
    return columns;
}

// Builds the ticker line for the index answer at the front of reply, consuming it.
inline QString buildTickerItem(QString &reply)
{
    const std::pair<const char *, const char *> cleaning[] = {
        {"\"", ""}, {"<b>", ""}, {"</b>", ""}, {" - ", "\t"}, {",", "\t"}, {"\r", ""}};
    for (const auto &[from, to] : cleaning)
        reply = trimSpaces(reply.replace(QLatin1String(from), QLatin1String(to)));
    QString line;
    const qsizetype lf = reply.indexOf(u'\n');
    if (lf >= 0) {
        line = trimLeadingSpaces(reply.left(lf + 1));
        reply.remove(trimSpaces(line));
        reply = trimLeadingSpaces(reply);
    }
    for (int i = 0; i < 7; ++i) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0)
            line.truncate(tab);
    }
    QString name;
    qsizetype tab = line.indexOf(u'\t');
    if (tab >= 0) {
        name = trimSpaces(line.left(tab + 1));
        line.remove(0, tab + 1);
    }
    const std::pair<const char *, const char *> shortNames[] = {{"NAS/NMS COMPSITE", "NASDAQ"},
                                                                {"DJ INDU AVERAGE", "DJIA"},
                                                                {"COMPOSITE", ""},
                                                                {"COMPSITE", ""},
                                                                {"INDEX", ""},
                                                                {"IDX", ""}};
    for (const auto &[from, to] : shortNames) {
        if (name.contains(QLatin1String(from))) {
            name.replace(QLatin1String(from), QLatin1String(to));
            break;
        }
    }
    tab = line.indexOf(u'\t');
    if (tab >= 0)
        line.remove(0, tab + 1);
    line = name + line;
    line.replace(u'\t', QLatin1String("      "));
    if (line.contains(QLatin1String("Volume")))
        line.chop(1);
    return line;
}

} // namespace AnswerCleaning
