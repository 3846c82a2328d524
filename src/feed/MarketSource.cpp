#include "MarketSource.h"

#include "BrowserPages.h"
#include "QuoteFormat.h"

namespace {

QByteArray htmlEscaped(const char *text)
{
    return QString::fromLatin1(text).toHtmlEscaped().toUtf8();
}

const QByteArray kPageStyle = QByteArrayLiteral(
    "<style>body{font-family:Arial,sans-serif;background:#f4f4f4;color:#222;margin:2em}"
    "h1{font-size:1.4em}table{border-collapse:collapse;background:#fff}"
    "th,td{padding:3px 10px;border-bottom:1px solid #ddd;text-align:right}"
    "th:first-child,td:first-child,th:nth-child(2),td:nth-child(2){text-align:left}"
    ".up{color:#080}.down{color:#c20}</style>");

} // namespace

MarketSource::MarketSource(quint64 seed) : m_market(seed) {}

QByteArray MarketSource::quotes(QStringView fieldCodes, QStringView symbols) const
{
    QStringList codes = QuoteFormat::parseFieldCodes(fieldCodes);
    if (codes.isEmpty()) // the service's own choice when the request names no fields
        codes = QuoteFormat::parseFieldCodes(u"sl1d1t1c1ohgv");
    QByteArray body;
    int answered = 0;
    for (QStringView entry : symbols.split(u',')) {
        entry = entry.trimmed();
        if (entry.isEmpty())
            continue;
        if (++answered > kMaxSymbols)
            break;
        if (const MarketQuote *quote = m_market.find(entry))
            body += QuoteFormat::quoteLine(*quote, codes, m_market.clock());
        else
            body += QuoteFormat::unknownLine(QuoteFormat::echoSymbol(entry), codes);
    }
    return body;
}

QByteArray MarketSource::indexPage() const
{
    QByteArray page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Market "
                      "Indices</title>" +
                      kPageStyle + "</head><body><h1>Market Indices</h1>\n<p>Simulated market, " +
                      QuoteFormat::tradeTimeText(m_market.clock()) +
                      "</p>\n<table><tr><th>Symbol</th><th>Name</th><th>Last</th><th>Change</th>"
                      "<th>%</th><th>Low</th><th>High</th></tr>\n";
    for (const Instrument &in : indexInstruments()) {
        const MarketQuote &q = *m_market.find(QString::fromLatin1(in.symbol));
        const int dec = priceDecimals(in);
        const char *cls = q.change() > 0 ? "up" : q.change() < 0 ? "down" : "";
        page += "<tr><td>" + htmlEscaped(in.symbol) + "</td><td>" + htmlEscaped(in.name) +
                "</td><td>" + QuoteFormat::number(q.last, dec) + "</td><td class=\"" + cls + "\">" +
                QuoteFormat::number(q.change(), dec, true) + "</td><td class=\"" + cls + "\">" +
                QuoteFormat::number(q.changePercent(), 2, true) + "%</td><td>" +
                QuoteFormat::number(q.low, dec) + "</td><td>" + QuoteFormat::number(q.high, dec) +
                "</td></tr>\n";
    }
    page += "</table></body></html>\n";
    return page;
}

QByteArray MarketSource::startPage() const
{
    QByteArray table = "<h2>Today's stocks</h2>\n<table><tr><th>Symbol</th><th>Name</th>"
                       "<th>Last</th><th>Change</th></tr>\n";
    for (const Instrument &in : stockInstruments()) {
        const MarketQuote &q = *m_market.find(QString::fromLatin1(in.symbol));
        const char *cls = q.change() > 0 ? "up" : q.change() < 0 ? "down" : "";
        table += "<tr><td>" + htmlEscaped(in.symbol) + "</td><td>" + htmlEscaped(in.name) +
                 "</td><td>" + QuoteFormat::number(q.last, 2) + "</td><td class=\"" + cls + "\">" +
                 QuoteFormat::number(q.change(), 2, true) + "</td></tr>\n";
    }
    table += "</table>\n";
    return BrowserPages::startPage(
        "<p>Quotes come from Vantora's built-in quote service, a simulated market running on "
        "this computer.</p>",
        table);
}

FeedReply MarketSource::answer(const FeedRequest &request)
{
    if (request.method != "GET" && request.method != "HEAD")
        return FeedReply::error(405);
    const QString &path = request.path;
    if (path == u"/download/quotes.csv") {
        m_market.step();
        return FeedReply::text(quotes(request.queryValue(u"f"), request.queryValue(u"s")));
    }
    if (path == u"/m1" || path == u"/m1/")
        return FeedReply::html(indexPage());
    if (auto page = BrowserPages::answer(request, &m_market))
        return *page;
    if (path == u"/" || path == u"/index.html" || path == u"/vantora" || path == u"/vantora/" ||
        path == u"/vantora/index.html")
        return FeedReply::html(startPage());
    return FeedReply::error(404);
}
