#include "QuoteParser.h"

#include "common/Blanks.h"

#include <cstring>

namespace {

// Replaces every occurrence of needle, found left to right without overlapping in the text
// as it stands (what QString::replace and remove do), by a replacement no longer than the
// needle, in one pass over the text.
// The first occurrence of needle from `from` on, or -1: a search for its first character
// (which Qt does quickly) and a comparison of the rest.
qsizetype findLatin1(const QString &text, QLatin1StringView needle, qsizetype from)
{
    const qsizetype n = needle.size();
    const QChar first = QLatin1Char(needle.front());
    for (qsizetype at = text.indexOf(first, from); at >= 0 && at + n <= text.size();
         at = text.indexOf(first, at + 1)) {
        if (QStringView(text).sliced(at, n) == needle)
            return at;
    }
    return -1;
}

void replaceAll(QString &text, QLatin1StringView needle, QStringView replacement)
{
    const qsizetype n = needle.size();
    qsizetype in = n == 0 ? -1 : findLatin1(text, needle, 0);
    if (in < 0)
        return;
    QChar *data = text.data();
    const qsizetype size = text.size();
    qsizetype out = in;
    // Everything from `in` on is still the original text: the output never passes it.
    while (in >= 0) {
        for (QChar ch : replacement)
            data[out++] = ch;
        in += n;
        const qsizetype next = findLatin1(text, needle, in);
        const qsizetype end = next < 0 ? size : next;
        std::memmove(data + out, data + in, size_t(end - in) * sizeof(QChar));
        out += end - in;
        in = next;
    }
    text.truncate(out);
}

void removeAll(QString &text, QLatin1StringView needle)
{
    replaceAll(text, needle, {});
}

// The position of the first CR LF from `from` on, or -1.
qsizetype indexOfCrLf(const QString &text, qsizetype from = 0)
{
    for (qsizetype cr = text.indexOf(u'\r', from); cr >= 0; cr = text.indexOf(u'\r', cr + 1)) {
        if (cr + 1 < text.size() && text.at(cr + 1) == u'\n')
            return cr;
    }
    return -1;
}

} // namespace

namespace QuoteParser {

QString trimSpaces(const QString &text)
{
    return Blanks::trim(text);
}

namespace {

// A taken line cleaned: "," becomes a tab, line feeds and carriage returns, the markup and
// the six trailing fields go, " - " splits a field.
QString cleanLine(QStringView raw)
{
    QString line(raw.size(), Qt::Uninitialized);
    QChar *cleaned = line.data();
    qsizetype out = 0;
    for (const QChar ch : raw) {
        if (ch == u'\n' || ch == u'\r')
            continue;
        cleaned[out++] = ch == u',' ? QChar(u'\t') : ch;
    }
    line.truncate(out);
    // The markup has no blanks, so trimming the ends between its removals changes nothing;
    // a line without "<" or "&" has none of it.
    if (line.contains(u'<')) {
        for (const char *markup : {"<b>", "</b>", "<i>", "</i>"})
            removeAll(line, QLatin1StringView(markup));
    }
    if (line.contains(u'&'))
        removeAll(line, QLatin1StringView("&nbsp;"));
    line = trimSpaces(line);
    replaceAll(line, QLatin1StringView(" - "), u"\t");
    line = trimSpaces(line);

    // The service sends six more fields after the company name.
    for (int i = 0; i < 6; ++i) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0)
            line.truncate(tab);
    }
    return line;
}

} // namespace

QString nextQuoteLine(QString &replyText)
{
    LineReader reader(replyText);
    return reader.next();
}

// After the first line the text starts with the LF of the CR LF taken before and holds no
// quotes, so trimming and removing quotes again before each line, as nextQuoteLine does,
// would change nothing there; only the end of the text is trimmed, at finish().
LineReader::LineReader(QString &replyText) : m_text(replyText)
{
    m_text.remove(u'"');
    m_text = trimSpaces(m_text);
}

QString LineReader::next()
{
    const qsizetype crlf = indexOfCrLf(m_text, m_pos);
    if (crlf < 0)
        return QString();
    const QStringView raw = QStringView(m_text).mid(m_pos, crlf + 1 - m_pos); // ends with the CR
    m_pos = crlf + 1; // the rest starts with the LF
    return cleanLine(raw);
}

void LineReader::finish()
{
    if (m_pos > 0) {
        m_text.remove(0, m_pos);
        m_pos = 0;
    }
}

QuoteColumns splitColumns(const QString &cleanedLine)
{
    QuoteColumns columns;
    qsizetype from = 0;
    for (int c = 0; c < ColumnCount; ++c) {
        const qsizetype tab = cleanedLine.indexOf(u'\t', from);
        if (tab < 0) {
            columns[c] = cleanedLine.mid(from); // the last field; the rest stay ""
            break;
        }
        columns[c] = cleanedLine.mid(from, tab - from);
        from = tab + 1;
    }
    return columns;
}

bool isQuoteText(const QString &reply, const QString &contentType)
{
    if (contentType.contains(QLatin1String("html"), Qt::CaseInsensitive))
        return false;
    for (const QChar ch : reply) {
        if (ch.isSpace())
            continue;
        if (ch == u'<')
            return false;
        break;
    }
    for (const QChar ch : reply) {
        const char16_t c = ch.unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace QuoteParser
