#include "BrowserPages.h"

#include "Instruments.h"
#include "QuoteFormat.h"
#include "SimulatedMarket.h"

#include <QDateTime>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace BrowserPages {

namespace {

QString g_settingsFile;
QString g_logFolder;

constexpr qint64 kDay = 24 * 3600;
constexpr int kMaxPoints = 600;
constexpr qint64 kTradingDay = 390 * 60;

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

const QByteArray kStyle = QByteArrayLiteral(
    "<style>body{font-family:Arial,sans-serif;background:#f4f4f4;color:#222;margin:1.5em}"
    "h1{font-size:1.4em}table{border-collapse:collapse;background:#fff}"
    "th,td{padding:3px 10px;border-bottom:1px solid #ddd;text-align:left}"
    "code{background:#e8e8e8;padding:0 3px}.up{color:#080}.down{color:#c20}</style>");

QByteArray page(const QString &title, const QByteArray &body)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + escaped(title) +
           "</title>" + kStyle + "</head><body>\n" + body + "</body></html>\n";
}

// A small deterministic generator: the same symbol and codes draw the same history.
struct Random
{
    quint64 state;
    double uniform()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return double(state >> 11) / double(quint64(1) << 53);
    }
    double gaussian()
    {
        double sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += uniform();
        return sum - 6.0;
    }
};

quint64 seedOf(const QString &text)
{
    quint64 hash = 1469598103934665603ULL; // FNV-1a
    for (QChar c : text) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash ? hash : 1;
}

// Days the range spans, by time code.
int spanDays(int timeCode)
{
    static constexpr int days[] = {1, 2, 7, 30, 61, 91, 182, 365, 730};
    return days[std::clamp(timeCode, 1, 9) - 1];
}

// Seconds between points, by frequency code; intraday steps count trading time only.
qint64 stepSeconds(int freqCode, bool &intraday)
{
    intraday = true;
    switch (freqCode) {
    case 9:
        return 60;
    case 6:
        return 300;
    case 7:
        return 900;
    case 8:
        return 3600;
    default:
        break;
    }
    intraday = false;
    switch (freqCode) {
    case 2:
        return 7 * kDay;
    case 3:
        return 30 * kDay;
    case 4:
        return 91 * kDay;
    default:
        return kDay;
    }
}

QString rangeName(int timeCode)
{
    static const char *const names[] = {"One Day",    "Two Days",   "One Week",
                                        "One Month",  "Two Months", "Three Months",
                                        "Six Months", "One Year",   "Two Years"};
    return QString::fromLatin1(names[std::clamp(timeCode, 1, 9) - 1]);
}

QString freqName(int freqCode)
{
    switch (freqCode) {
    case 9:
        return QStringLiteral("Minute");
    case 6:
        return QStringLiteral("5 Minutes");
    case 7:
        return QStringLiteral("15 Minutes");
    case 8:
        return QStringLiteral("Hourly");
    case 2:
        return QStringLiteral("Weekly");
    case 3:
        return QStringLiteral("Monthly");
    case 4:
        return QStringLiteral("Quarterly");
    default:
        return QStringLiteral("Daily");
    }
}

const Instrument *findInstrument(const QString &symbol)
{
    for (auto list : {stockInstruments(), indexInstruments()}) {
        for (const Instrument &in : list) {
            if (symbol.compare(QLatin1String(in.symbol), Qt::CaseInsensitive) == 0)
                return &in;
        }
    }
    return nullptr;
}

QByteArray svgChart(const std::vector<ChartPoint> &points, int decimals, bool intraday)
{
    constexpr double W = 640, H = 320, left = 70, right = 20, top = 20, bottom = 40;
    double lo = points.front().price, hi = lo;
    for (const ChartPoint &p : points) {
        lo = std::min(lo, p.price);
        hi = std::max(hi, p.price);
    }
    if (hi - lo < 1e-9) {
        hi += 0.5;
        lo -= 0.5;
    }
    const qint64 t0 = points.front().time, t1 = std::max(points.back().time, t0 + 1);
    const auto x = [&](qint64 t) {
        return left + (W - left - right) * double(t - t0) / double(t1 - t0);
    };
    const auto y = [&](double p) { return top + (H - top - bottom) * (hi - p) / (hi - lo); };
    const auto num = [](double v) { return QByteArray::number(v, 'f', 1); };

    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"320\" "
                     "viewBox=\"0 0 640 320\" font-family=\"Arial\" font-size=\"11\">\n"
                     "<rect width=\"640\" height=\"320\" fill=\"#fff\"/>\n";
    // Axes, price levels and dates.
    svg += "<line class=\"axis\" x1=\"" + num(left) + "\" y1=\"" + num(H - bottom) + "\" x2=\"" +
           num(W - right) + "\" y2=\"" + num(H - bottom) + "\" stroke=\"#444\"/>\n";
    svg += "<line class=\"axis\" x1=\"" + num(left) + "\" y1=\"" + num(top) + "\" x2=\"" +
           num(left) + "\" y2=\"" + num(H - bottom) + "\" stroke=\"#444\"/>\n";
    for (int i = 0; i <= 4; ++i) {
        const double price = lo + (hi - lo) * i / 4;
        svg += "<line x1=\"" + num(left) + "\" y1=\"" + num(y(price)) + "\" x2=\"" +
               num(W - right) + "\" y2=\"" + num(y(price)) +
               "\" stroke=\"#ddd\"/><text class=\"price\" x=\"" + num(left - 6) + "\" y=\"" +
               num(y(price) + 4) + "\" text-anchor=\"end\">" +
               QuoteFormat::number(price, decimals) + "</text>\n";
    }
    for (int i = 0; i <= 4; ++i) {
        const qint64 t = t0 + (t1 - t0) * i / 4;
        const QDateTime when = QDateTime::fromSecsSinceEpoch(t, Qt::UTC);
        const QString label = intraday && t1 - t0 <= 2 * kDay
                                  ? when.toString(QStringLiteral("MMM d hh:mm"))
                                  : when.toString(QStringLiteral("yyyy-MM-dd"));
        svg += "<text class=\"date\" x=\"" + num(x(t)) + "\" y=\"" + num(H - bottom + 16) +
               "\" text-anchor=\"middle\">" + label.toUtf8() + "</text>\n";
    }
    svg += "<polyline fill=\"none\" stroke=\"#0645ad\" stroke-width=\"1.5\" points=\"";
    for (const ChartPoint &p : points)
        svg += num(x(p.time)) + ',' + num(y(p.price)) + ' ';
    svg += "\"/>\n</svg>\n";
    return svg;
}

FeedReply chartPage(const FeedRequest &request, const SimulatedMarket *market)
{
    const QString symbol = QuoteFormat::echoSymbol(request.queryValue(u"symb"));
    bool ok = false;
    int timeCode = request.queryValue(u"time").toInt(&ok);
    if (!ok)
        timeCode = 1;
    int freqCode = request.queryValue(u"freq").toInt(&ok);
    if (!ok)
        freqCode = 9;
    const Instrument *instrument = symbol.isEmpty() ? nullptr : findInstrument(symbol);
    const QString heading = symbol + QStringLiteral(" chart, ") + rangeName(timeCode) +
                            QStringLiteral(", ") + freqName(freqCode);
    if (!instrument) {
        return FeedReply::html(page(
            QStringLiteral("No chart for ") + (symbol.isEmpty() ? QStringLiteral("?") : symbol),
            "<h1>No chart</h1>\n<p>The simulated market has no instrument with the "
            "symbol <b>" +
                escaped(symbol) +
                "</b>. Try <a href=\"/l?m=US&amp;s=&amp;t=\">the symbol "
                "lookup</a>.</p>\n"));
    }
    double endPrice = instrument->price;
    if (market) {
        if (const MarketQuote *quote = market->find(symbol))
            endPrice = quote->last;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const std::vector<ChartPoint> points = history(symbol, timeCode, freqCode, endPrice, now);
    bool intraday = false;
    stepSeconds(freqCode, intraday);
    const int decimals = priceDecimals(*instrument);
    const QByteArray body = "<h1>" + escaped(heading) + "</h1>\n<p>" +
                            escaped(QString::fromLatin1(instrument->name)) + " (" +
                            escaped(symbol) + "), simulated prices, last " +
                            QuoteFormat::number(points.back().price, decimals) + ".</p>\n" +
                            svgChart(points, decimals, intraday);
    return FeedReply::html(page(heading, body));
}

FeedReply lookupPage(const FeedRequest &request)
{
    const QString text = request.queryValue(u"s").trimmed();
    QByteArray rows;
    int found = 0;
    for (auto list : {stockInstruments(), indexInstruments()}) {
        for (const Instrument &in : list) {
            const QString symbol = QString::fromLatin1(in.symbol);
            const QString name = QString::fromLatin1(in.name);
            if (!text.isEmpty() && !symbol.contains(text, Qt::CaseInsensitive) &&
                !name.contains(text, Qt::CaseInsensitive))
                continue;
            ++found;
            const QByteArray chart =
                "/print/print.asp?frames=0&amp;symb=" + QUrl::toPercentEncoding(symbol) +
                "&amp;time=1&amp;freq=9";
            rows += "<tr><td><a href=\"" + chart + "\">" + escaped(symbol) + "</a></td><td>" +
                    escaped(name) + "</td><td>" + escaped(QString::fromLatin1(in.exchange)) +
                    "</td></tr>\n";
        }
    }
    const QString title = QStringLiteral("Symbol Lookup: ") + text;
    QByteArray body = "<h1>" + escaped(title) + "</h1>\n";
    if (found == 0) {
        body += "<p>No instrument of the simulated market matches.</p>\n";
    } else {
        body += "<p>" + QByteArray::number(found) +
                " matching instruments.</p>\n<table><tr><th>Symbol</th><th>Name</th>"
                "<th>Exchange</th></tr>\n" +
                rows + "</table>\n";
    }
    return FeedReply::html(page(title, body));
}

} // namespace

std::vector<ChartPoint> history(const QString &symbol, int timeCode, int freqCode, double endPrice,
                                qint64 endTime)
{
    bool intraday = false;
    qint64 step = stepSeconds(freqCode, intraday);
    // Intraday steps walk through trading time: 390 minutes a day.
    const qint64 span = intraday ? spanDays(timeCode) * kTradingDay : spanDays(timeCode) * kDay;
    qint64 count = std::max<qint64>(2, span / step + 1);
    while (count > kMaxPoints) { // a coarser step keeps the page small
        step *= 2;
        count = std::max<qint64>(2, span / step + 1);
    }
    Random random{
        seedOf(symbol.toUpper() + QString::number(timeCode) + u'/' + QString::number(freqCode))};
    const double volatility =
        0.012 * std::sqrt(double(step) / double(intraday ? kTradingDay : kDay));
    std::vector<ChartPoint> points(std::size_t(count), ChartPoint{0, 0});
    double price = endPrice > 0 ? endPrice : 1.0;
    qint64 tradingOffset = 0; // trading seconds before the end
    for (qint64 i = count - 1; i >= 0; --i) {
        qint64 t = endTime - tradingOffset;
        if (intraday && tradingOffset > 0) {
            // A trading day is 390 minutes of a calendar day; a day's open sits right after
            // the close before it.
            const qint64 days = (tradingOffset - 1) / kTradingDay;
            t = endTime - days * kDay - (tradingOffset - days * kTradingDay);
        }
        points[std::size_t(i)] = {t, price};
        price *= std::exp(-volatility * random.gaussian());
        tradingOffset += step;
    }
    return points;
}

// Live television and radio come from the Internet only; offline, the panel shows where.
FeedReply mediaPage(const FeedRequest &request, bool tv)
{
    const QUrl source(request.queryValue(u"source"), QUrl::StrictMode);
    const bool linkable =
        source.isValid() && (source.scheme() == u"http" || source.scheme() == u"https");
    const QByteArray medium = tv ? "television" : "radio";
    QByteArray body = "<h1>Business " + medium + ", live</h1>\n<p>Live " + medium +
                      " comes from the Internet: the built-in demo feed has no live media.";
    if (linkable) {
        const QByteArray address = escaped(source.toString());
        body += " With a connection to the Internet, it plays at <a style=\"overflow-wrap: "
                "anywhere\" href=\"" +
                address + "\">" + address + "</a>.";
    }
    body += "</p>\n";
    return FeedReply::html(page(tv ? QStringLiteral("Business television, live from the markets")
                                   : QStringLiteral("Business radio, live from the markets"),
                                body));
}

std::optional<FeedReply> answer(const FeedRequest &request, const SimulatedMarket *market)
{
    if (request.method != "GET" && request.method != "HEAD")
        return std::nullopt;
    if (request.path == u"/print/print.asp")
        return chartPage(request, market);
    if (request.path == u"/l")
        return lookupPage(request);
    if (request.path == u"/media/tv" || request.path == u"/media/radio")
        return mediaPage(request, request.path == u"/media/tv");
    return std::nullopt;
}

void setProgramFiles(const QString &settingsFile, const QString &logFolder)
{
    g_settingsFile = settingsFile;
    g_logFolder = logFolder;
}

QByteArray startPage(const QByteArray &sourceNote, const QByteArray &extra)
{
    const QByteArray settings =
        g_settingsFile.isEmpty()
            ? QByteArray("<code>$XDG_CONFIG_HOME/Vantora/Vantora.conf</code> (without "
                         "XDG_CONFIG_HOME: <code>~/.config/Vantora/Vantora.conf</code>)")
            : "<code>" + escaped(g_settingsFile) + "</code>";
    const QByteArray logs =
        g_logFolder.isEmpty()
            ? QByteArray("the <code>Log Files</code> folder of Vantora's program folder: "
                         "<code>$VANTORA_HOME</code> when set, otherwise the program's own "
                         "folder when it is writable, otherwise "
                         "<code>~/.local/share/Vantora</code>")
            : "<code>" + escaped(g_logFolder) + "</code>";
    const QByteArray body =
        "<h1>Welcome to Vantora</h1>\n" + sourceNote +
        "\n<h2>The demo feed</h2>\n<p>The built-in quote service answers on "
        "<code>127.0.0.1:47110</code>, on this computer only. Its simulated market trades "
        "well-known US stocks and the market indices of the ticker; prices move a step with "
        "every quote request and are made up, so never trade on them. It also draws the "
        "charts and answers the symbol lookup of the browser panel. Pointing the quote "
        "addresses elsewhere (Options) leaves it unused.</p>\n"
        "<h2>Getting started</h2>\n<ul><li>Add or remove symbols, set alerts and the update "
        "interval in <b>Options</b>.</li><li>Click a row of the grid to select a stock, then "
        "<b>Charts</b> and <b>Submit</b> to chart it.</li><li><b>Inquiry</b> holds the symbol "
        "lookup, research, IPO and screener sources.</li><li>Double-click the ticker for "
        "the index page; right-click anywhere for the menu.</li></ul>\n"
        "<h2>Where things are</h2>\n<table><tr><th>Settings and portfolios</th><td>" +
        settings + "</td></tr>\n<tr><th>Quote and trade logs</th><td>" + logs +
        "</td></tr></table>\n<p><a href=\"/m1?u\">Market indices</a> &middot; <a "
        "href=\"/l?m=US&amp;s=&amp;t=\">All symbols</a></p>\n" +
        extra;
    return page(QStringLiteral("Vantora"), body);
}

} // namespace BrowserPages
