#include "QuoteFormat.h"

#include <cmath>
#include <functional>

namespace QuoteFormat {

namespace {

const QByteArray kNA = QByteArrayLiteral("N/A");

QByteArray quoted(const QByteArray &text)
{
    return '"' + text + '"';
}

// Trailing fields: what follows the requested ones on every line.
const QStringList &stockTrailer()
{
    // dividend, yield, average volume, 52-week low and high, exchange
    static const QStringList codes{QStringLiteral("d"), QStringLiteral("y"), QStringLiteral("a2"),
                                   QStringLiteral("j"), QStringLiteral("k"), QStringLiteral("x")};
    return codes;
}

const QStringList &indexTrailer()
{
    // previous close, open, day low, day high, 52-week low and high
    static const QStringList codes{QStringLiteral("p"), QStringLiteral("o"), QStringLiteral("g"),
                                   QStringLiteral("h"), QStringLiteral("j"), QStringLiteral("k")};
    return codes;
}

QByteArray field(const MarketQuote &q, const QString &code, QTime tradeTime)
{
    const Instrument &in = *q.instrument;
    const int dec = priceDecimals(in);
    const bool stock = q.isStock();
    const double spread = std::max(0.01, std::round(q.last * 0.0005 * 100) / 100);
    const QByteArray last = number(q.last, dec);
    const QByteArray change = number(q.change(), dec, true);
    const QByteArray percent = number(q.changePercent(), 2, true) + '%';

    if (code == u"s")
        return quoted(in.symbol);
    if (code == u"n")
        return quoted(in.name);
    if (code == u"x")
        return quoted(in.exchange);
    if (code == u"l" || code == u"k1")
        return quoted(tradeTimeText(tradeTime) + " - <b>" + last + "</b>");
    if (code == u"l1")
        return last;
    if (code == u"t1")
        return quoted(tradeTimeText(tradeTime));
    if (code == u"c" || code == u"k2")
        return quoted(change + " - " + percent);
    if (code == u"c1")
        return change;
    if (code == u"p2")
        return quoted(percent);
    if (code == u"p")
        return number(q.previousClose, dec);
    if (code == u"o")
        return number(q.open, dec);
    if (code == u"g")
        return number(q.low, dec);
    if (code == u"h")
        return number(q.high, dec);
    if (code == u"m" || code == u"m2")
        return quoted(number(q.low, dec) + " - " + number(q.high, dec));
    if (code == u"w")
        return quoted(number(q.yearLow, dec) + " - " + number(q.yearHigh, dec));
    if (code == u"j")
        return number(q.yearLow, dec);
    if (code == u"k")
        return number(q.yearHigh, dec);
    if (!stock)
        return kNA; // the rest describe shares, not index levels
    if (code == u"v")
        return QByteArray::number(q.volume);
    if (code == u"a2")
        return QByteArray::number(in.avgVolume);
    if (code == u"e")
        return number(in.eps, 2);
    if (code == u"r" || code == u"r2")
        return in.eps > 0 ? number(q.last / in.eps, 2) : kNA;
    if (code == u"b" || code == u"b3")
        return number(q.last - spread, dec);
    if (code == u"a" || code == u"b2")
        return number(q.last + spread, dec);
    if (code == u"d")
        return in.dividend > 0 ? number(in.dividend, 2) : kNA;
    if (code == u"y")
        return in.dividend > 0 ? number(in.dividend / q.last * 100, 2) : kNA;
    return kNA;
}

QByteArray unknownField(const QString &code, const QByteArray &symbol)
{
    if (code == u"s" || code == u"n")
        return quoted(symbol);
    if (code == u"l" || code == u"k1")
        return quoted("N/A - <b>N/A</b>");
    if (code == u"c" || code == u"k2" || code == u"m" || code == u"m2" || code == u"w")
        return quoted("N/A - N/A");
    return kNA;
}

// Text that goes between the answer's double quotes: no quote, no comma (Vantora splits
// the line at every comma, quoted or not), no line break, Latin-1.
QByteArray plainText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        if (c == u'"' || c == u',' || c.category() == QChar::Other_Control)
            clean.append(u' ');
        else
            clean.append(c.unicode() < 256 ? c : QChar(u'?'));
    }
    return clean.simplified().toLatin1();
}

QByteArray liveField(const LiveQuote &q, const QString &code)
{
    const int dec = q.last && std::abs(*q.last) < 1.0 ? 4 : 2;
    const auto price = [dec](const std::optional<double> &value) {
        return value ? number(*value, dec) : kNA;
    };
    const auto two = [](const std::optional<double> &value) {
        return value ? number(*value, 2) : kNA;
    };
    const auto whole = [](const std::optional<qint64> &value) {
        return value ? QByteArray::number(*value) : kNA;
    };
    const QByteArray time = q.tradeTime ? tradeTimeText(*q.tradeTime) : kNA;
    const QByteArray change = q.change ? number(*q.change, dec, true) : kNA;
    const QByteArray percent = q.changePercent ? number(*q.changePercent, 2, true) + '%' : kNA;

    if (code == u"s")
        return quoted(plainText(q.symbol));
    if (code == u"n")
        return quoted(plainText(q.name.isEmpty() ? q.symbol : q.name));
    if (code == u"x")
        return q.exchange.isEmpty() ? kNA : quoted(plainText(q.exchange));
    if (code == u"l" || code == u"k1")
        return quoted(time + " - <b>" + price(q.last) + "</b>");
    if (code == u"l1")
        return price(q.last);
    if (code == u"t1")
        return q.tradeTime ? quoted(time) : kNA;
    if (code == u"c" || code == u"k2")
        return quoted(change + " - " + percent);
    if (code == u"c1")
        return change;
    if (code == u"p2")
        return q.changePercent ? quoted(percent) : kNA;
    if (code == u"p")
        return price(q.previousClose);
    if (code == u"o")
        return price(q.open);
    if (code == u"g")
        return price(q.low);
    if (code == u"h")
        return price(q.high);
    if (code == u"m" || code == u"m2")
        return quoted(price(q.low) + " - " + price(q.high));
    if (code == u"w")
        return quoted(price(q.yearLow) + " - " + price(q.yearHigh));
    if (code == u"j")
        return price(q.yearLow);
    if (code == u"k")
        return price(q.yearHigh);
    if (q.index)
        return kNA; // the rest describe shares, not index levels
    if (code == u"v")
        return whole(q.volume);
    if (code == u"a2")
        return whole(q.averageVolume);
    if (code == u"e")
        return two(q.eps);
    if (code == u"r" || code == u"r2")
        return two(q.peRatio);
    if (code == u"b" || code == u"b3")
        return price(q.bid);
    if (code == u"a" || code == u"b2")
        return price(q.ask);
    if (code == u"d")
        return two(q.dividend);
    if (code == u"y")
        return two(q.dividendYield);
    return kNA;
}

QByteArray joinedLine(const QStringList &codes, const QStringList &trailer,
                      const std::function<QByteArray(const QString &)> &field)
{
    QByteArray line;
    line.reserve(160);
    bool first = true;
    for (const QStringList *list : {&codes, &trailer}) {
        for (const QString &code : *list) {
            if (!first)
                line += ',';
            first = false;
            line += field(code);
        }
    }
    line += "\r\n";
    return line;
}

} // namespace

QStringList parseFieldCodes(QStringView codes)
{
    const qsizetype end = codes.indexOf(u'=');
    if (end >= 0)
        codes = codes.left(end);
    QStringList result;
    for (qsizetype i = 0; i < codes.size();) {
        if (!codes.at(i).isLetter()) {
            ++i; // stray characters carry no field
            continue;
        }
        qsizetype j = i + 1;
        while (j < codes.size() && codes.at(j).isDigit())
            ++j;
        result.append(codes.mid(i, j - i).toString());
        i = j;
    }
    return result;
}

QByteArray quoteLine(const MarketQuote &quote, const QStringList &codes, QTime tradeTime)
{
    QByteArray line;
    line.reserve(160);
    bool first = true;
    const auto append = [&](const QStringList &list) {
        for (const QString &code : list) {
            if (!first)
                line += ',';
            first = false;
            line += field(quote, code, tradeTime);
        }
    };
    append(codes);
    append(quote.isStock() ? stockTrailer() : indexTrailer());
    line += "\r\n";
    return line;
}

QByteArray liveLine(const LiveQuote &quote, const QStringList &codes)
{
    return joinedLine(codes, quote.index ? indexTrailer() : stockTrailer(),
                      [&quote](const QString &code) { return liveField(quote, code); });
}

QByteArray unknownLine(const QString &symbol, const QStringList &codes)
{
    const QByteArray echoed = symbol.toLatin1();
    QByteArray line;
    bool first = true;
    for (const QString &code : codes) {
        if (!first)
            line += ',';
        first = false;
        line += unknownField(code, echoed);
    }
    for (int i = 0; i < kTrailingFields; ++i) {
        if (!first)
            line += ',';
        first = false;
        line += kNA;
    }
    line += "\r\n";
    return line;
}

bool isValidSymbol(QStringView symbol)
{
    if (symbol.isEmpty() || symbol.size() > 16)
        return false;
    for (QChar c : symbol) {
        const char16_t u = c.unicode();
        const bool letter = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
        const bool digit = u >= u'0' && u <= u'9';
        if (!letter && !digit && u != u'.' && u != u'-' && u != u'^' && u != u'=')
            return false;
    }
    return true;
}

QString echoSymbol(QStringView requested)
{
    QString out;
    for (QChar c : requested) {
        if (out.size() >= 16)
            break;
        const char16_t u = c.toUpper().unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'^' || u == u'.' ||
            u == u'-' || u == u'=' || u == u'_')
            out.append(QChar(u));
    }
    return out;
}

QByteArray tradeTimeText(QTime time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QByteArray::number(hour) + ':' +
           QByteArray::number(time.minute()).rightJustified(2, '0') +
           (time.hour() < 12 ? "am" : "pm");
}

QByteArray number(double value, int decimals, bool withSign)
{
    const double half = 0.5 * std::pow(10.0, -decimals);
    if (std::abs(value) < half)
        value = 0; // never "-0.00"
    QByteArray text = QByteArray::number(value, 'f', decimals);
    if (withSign && value > 0)
        text.prepend('+');
    return text;
}

} // namespace QuoteFormat
