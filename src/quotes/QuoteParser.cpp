#include "QuoteParser.h"

#include "common/Blanks.h"

namespace {

// Replaces every occurrence of needle, found left to right without overlapping in the text
// as it stands (what QString::replace and remove do), by a replacement no longer than the
// needle, in one pass over the text.
void replaceAll(QString &text, QLatin1StringView needle, QStringView replacement)
{
    const qsizetype n = needle.size();
    if (n == 0 || text.size() < n)
        return;
    const char16_t first = needle.front().unicode();
    QChar *data = text.data();
    const qsizetype size = text.size();
    qsizetype out = 0;
    qsizetype in = 0;
    while (in < size) {
        if (data[in].unicode() == first && in + n <= size && QStringView(data + in, n) == needle) {
            for (QChar ch : replacement)
                data[out++] = ch;
            in += n;
            continue;
        }
        data[out++] = data[in++];
    }
    text.truncate(out);
}

void removeAll(QString &text, QLatin1StringView needle)
{
    replaceAll(text, needle, {});
}

// The position of the first CR LF, or -1.
qsizetype indexOfCrLf(const QString &text)
{
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', cr + 1)) {
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

QString nextQuoteLine(QString &replyText)
{
    replyText.remove(u'"');
    replyText = trimSpaces(replyText);

    QString raw;
    const qsizetype crlf = indexOfCrLf(replyText);
    if (crlf >= 0) {
        raw = replyText.left(crlf + 1); // ends with the CR
        replyText.remove(0, crlf + 1);  // now starts with the LF
    }
    raw.replace(u',', u'\t');

    QString line = trimSpaces(raw.remove(u'\n'));
    line = trimSpaces(line.remove(u'\r'));
    for (const char *markup : {"<b>", "</b>", "<i>", "</i>", "&nbsp;"}) {
        removeAll(line, QLatin1StringView(markup));
        line = trimSpaces(line);
    }
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
