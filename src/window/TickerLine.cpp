#include "TickerLine.h"

#include "common/Blanks.h"

#include <utility>

namespace {

const QString kTab = QStringLiteral("\t");

// Blanks are the only thing the ticker trims: tabs and line feeds carry meaning.
using Blanks::trim;
using Blanks::trimLeading;

// Everything after the first tab; the whole text when there is none.
QString afterFirstTab(const QString &line)
{
    const qsizetype tab = line.indexOf(u'\t');
    return tab < 0 ? line : line.mid(tab + 1);
}

} // namespace

namespace TickerLine {

QString shortenName(const QString &name)
{
    static const std::pair<const char16_t *, const char16_t *> rules[] = {
        {u"NAS/NMS COMPSITE", u"NASDAQ"},
        {u"DJ INDU AVERAGE", u"DJIA"},
        {u"COMPOSITE", u""},
        {u"COMPSITE", u""},
        {u"INDEX", u""},
        {u"IDX", u""},
    };
    QString shortened = name;
    for (const auto &[text, replacement] : rules) {
        const QString find = QString::fromUtf16(text);
        if (shortened.contains(find))
            return shortened.replace(find, QString::fromUtf16(replacement));
    }
    return shortened;
}

QString take(QString &replyText, const std::function<void()> &pumpEvents)
{
    const auto pump = [&pumpEvents] {
        if (pumpEvents)
            pumpEvents();
    };

    // The quotes and bold marks go; the composite fields and the commas become tabs.
    static const std::pair<QString, QString> cleaning[] = {
        {QStringLiteral("\""), QString()},   {QStringLiteral("<b>"), QString()},
        {QStringLiteral("</b>"), QString()}, {QStringLiteral(" - "), kTab},
        {QStringLiteral(","), kTab},         {QStringLiteral("\r"), QString()},
    };
    for (const auto &[find, replacement] : cleaning)
        replyText = trim(replyText.replace(find, replacement));

    // The first complete line; an incomplete one waits for the rest of its text.
    QString line;
    const qsizetype lineFeed = replyText.indexOf(u'\n');
    if (lineFeed >= 0) {
        pump();
        line = trimLeading(replyText.left(lineFeed + 1));
        replyText = trimLeading(replyText.remove(trim(line)));
    }

    // Seven trailing fields are dropped.
    for (int n = 0; n < 7; ++n) {
        pump();
        const qsizetype tab = line.lastIndexOf(u'\t');
        if (tab >= 0)
            line.truncate(tab);
    }

    // The name keeps its tab: it becomes the first gap of the line. The trade time after it
    // is dropped.
    const qsizetype firstTab = line.indexOf(u'\t');
    const QString name = shortenName(trim(firstTab < 0 ? QString() : line.left(firstTab + 1)));
    line = afterFirstTab(afterFirstTab(line));
    line = name + line;
    line.replace(kTab, QStringLiteral("      "));
    if (line.contains(QLatin1String("Volume")))
        line.chop(1);
    return line;
}

quint32 color(const QString &line)
{
    constexpr qsizetype from = 15; // the 16th character
    quint32 color = Unchanged;
    if (line.indexOf(u'-', from) >= 0)
        color = Falling;
    if (line.indexOf(u'+', from) >= 0)
        color = Rising;
    return color;
}

} // namespace TickerLine
