#include "BrowserPages.h"

#include "Instruments.h"
#include "OfflinePages.h"
#include "PageKit.h"
#include "QuoteFormat.h"
#include "SimulatedMarket.h"

#include <QDateTime>
#include <QUrl>

#include <algorithm>
#include <cmath>

using namespace PageKit;

namespace BrowserPages {

namespace {

QString g_settingsFile;
QString g_logFolder;

constexpr qint64 kDay = 24 * 3600;
constexpr int kMaxPoints = 600;
constexpr qint64 kTradingDay = 390 * 60;

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

// The text of a time-axis label: the exchange's time of day for intraday steps (the date
// goes on a line of its own below it), the date for daily and longer steps.
QString axisLabel(const QDateTime &when, bool intraday)
{
    return intraday ? QString::fromLatin1(QuoteFormat::tradeTimeText(when.time()))
                    : when.toString(QStringLiteral("MMM d, yyyy"));
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
    // Points sit at even steps: nights and weekends take no room.
    const double last = double(points.size() - 1);
    const auto x = [&](std::size_t i) { return left + (W - left - right) * double(i) / last; };
    const auto y = [&](double p) { return top + (H - top - bottom) * (hi - p) / (hi - lo); };
    const auto num = [](double v) { return QByteArray::number(v, 'f', 1); };

    QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"320\" "
        "viewBox=\"0 0 640 320\" font-family=\"Arial,Helvetica,sans-serif\" font-size=\"11\">\n"
        "<rect width=\"640\" height=\"320\" fill=\"#fff\"/>\n";
    // Axes, price levels and times.
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
    const QTimeZone zone = exchangeZone();
    const auto when = [&](std::size_t i) {
        return QDateTime::fromSecsSinceEpoch(points[i].time, zone);
    };
    const bool oneDay = when(0).date() == when(points.size() - 1).date();
    for (int k = 0; k <= 4; ++k) {
        const std::size_t i = std::size_t(std::lround(last * k / 4));
        // The first label starts at the axis and the last ends at it, so both show whole.
        const char *anchor = k == 0 ? "start" : k == 4 ? "end" : "middle";
        const QByteArray at = "x=\"" + num(x(i)) + "\" y=\"";
        const QByteArray how = "\" text-anchor=\"" + QByteArray(anchor) + "\">";
        svg += "<text class=\"date\" " + at + num(H - bottom + 15) + how +
               axisLabel(when(i), intraday).toHtmlEscaped().toUtf8() + "</text>\n";
        if (intraday && !oneDay) {
            svg += "<text class=\"day\" " + at + num(H - bottom + 29) + how +
                   when(i).toString(QStringLiteral("MMM d")).toUtf8() + "</text>\n";
        }
    }
    svg += "<polyline fill=\"none\" stroke=\"#0645ad\" stroke-width=\"1.5\" points=\"";
    for (std::size_t i = 0; i < points.size(); ++i)
        svg += num(x(i)) + ',' + num(y(points[i].price)) + ' ';
    svg += "\"/>\n</svg>\n";
    return svg;
}

FeedReply chartPage(const FeedRequest &request, const SimulatedMarket *market)
{
    const SymbolArg arg = symbolArg(request, u"symb");
    if (arg.state != SymbolArg::State::Valid) {
        return problem(400, QStringLiteral("No chart"),
                       arg.state == SymbolArg::State::Empty
                           ? QByteArray("Select a stock in the quote grid and ask again.")
                           : "<b>" + shownText(request.queryValue(u"symb")) +
                                 "</b> is not a stock symbol.");
    }
    const QString &symbol = arg.symbol;
    bool ok = false;
    int timeCode = request.queryValue(u"time").toInt(&ok);
    if (!ok)
        timeCode = 1;
    int freqCode = request.queryValue(u"freq").toInt(&ok);
    if (!ok)
        freqCode = 9;
    const Instrument *instrument = findInstrument(symbol);
    if (!instrument) {
        return problem(404, QStringLiteral("No chart for ") + symbol,
                       "The simulated market has no instrument with the symbol <b>" +
                           escaped(symbol) + "</b>.");
    }
    const QString heading = symbol + QStringLiteral(" chart, ") + rangeName(timeCode) +
                            QStringLiteral(", ") + freqName(freqCode);
    double endPrice = instrument->price;
    // The chart ends at the last trade: with the simulated market, at its clock, which the
    // grid shows as the time of the last trade.
    QDateTime end = lastTradingMoment(QDateTime::currentDateTimeUtc());
    if (market) {
        if (const MarketQuote *quote = market->find(symbol))
            endPrice = quote->last;
        end = QDateTime(end.date(), market->clock(), exchangeZone());
    }
    const std::vector<ChartPoint> points =
        history(symbol, timeCode, freqCode, endPrice, end.toSecsSinceEpoch());
    bool intraday = false;
    stepSeconds(freqCode, intraday);
    const int decimals = priceDecimals(*instrument);
    const QByteArray body =
        "<h1>" + escaped(heading) + "</h1>\n<p>" + escaped(QString::fromLatin1(instrument->name)) +
        " (" + escaped(symbol) + "), simulated prices, last " +
        QuoteFormat::number(points.back().price, decimals) + " at " +
        QuoteFormat::tradeTimeText(end.time()) + ". Times are the exchange's (New York).</p>\n" +
        svgChart(points, decimals, intraday);
    return FeedReply::html(page(heading, body));
}

FeedReply lookupPage(const FeedRequest &request)
{
    const QString text = request.queryValue(u"s").trimmed().left(100);
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

    // Intraday points before the last lie in the sessions (9:30am to 4:00pm on weekdays,
    // exchange time) up to the last trading moment.
    const QDateTime anchor =
        lastTradingMoment(QDateTime::fromSecsSinceEpoch(endTime, exchangeZone()));
    qint64 sessionEnd = anchor.toSecsSinceEpoch();           // of the session walked
    qint64 sessionLeft = QTime(9, 30).secsTo(anchor.time()); // trading seconds before it
    QDate day = anchor.date();
    qint64 offset = 0; // seconds walked back from sessionEnd
    for (qint64 i = count - 1; i >= 0; --i) {
        qint64 t = endTime;
        if (i < count - 1) {
            if (!intraday) {
                t = endTime - (count - 1 - i) * step;
            } else {
                offset += step;
                while (offset > sessionLeft) { // into the session before
                    offset -= sessionLeft;
                    do
                        day = day.addDays(-1);
                    while (day.dayOfWeek() > 5);
                    sessionEnd = QDateTime(day, QTime(16, 0), exchangeZone()).toSecsSinceEpoch();
                    sessionLeft = kTradingDay;
                }
                t = sessionEnd - offset;
            }
        }
        points[std::size_t(i)] = {t, price};
        price *= std::exp(-volatility * random.gaussian());
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
    return OfflinePages::answer(request, market);
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
        "every quote request and are made up, so never trade on them. It also serves the "
        "browser panel's pages: charts, symbol lookup, research, IPOs, the screener, an order "
        "book and simulated headlines, so that the panel works offline. Pointing the quote "
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
